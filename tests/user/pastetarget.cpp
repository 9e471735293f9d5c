// A text window for the typing test: whatever arrives in it is written to the file given, on
// every change, so the test reads what a user would have seen. With --terminal it behaves like a
// terminal emulator: Ctrl+Shift+V pastes, while Ctrl+V arrives as the control character ^V.
// Usage: pastetarget [--terminal] OUTPUT_FILE   (Qt options such as -name also apply)

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSaveFile>

#include <cstdio>

namespace
{
class PasteTarget : public QPlainTextEdit
{
public:
    PasteTarget(QString outputFile, bool terminal)
        : output(std::move(outputFile)), behavesAsTerminal(terminal)
    {
        connect(this, &QPlainTextEdit::textChanged, this, &PasteTarget::save);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (behavesAsTerminal && event->key() == Qt::Key_V &&
            event->modifiers().testFlag(Qt::ControlModifier)) {
            if (event->modifiers().testFlag(Qt::ShiftModifier))
                paste();
            else
                insertPlainText(QStringLiteral("^V"));
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
    }

private:
    void save()
    {
        QSaveFile file(output);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(toPlainText().toUtf8());
            file.commit();
        }
    }

    QString output;
    bool behavesAsTerminal;
};
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    const bool terminal = arguments.removeAll(QStringLiteral("--terminal")) > 0;
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: pastetarget [--terminal] OUTPUT_FILE\n");
        return 2;
    }
    PasteTarget window(arguments.first(), terminal);
    window.setWindowTitle(QStringLiteral("pastetarget"));
    window.resize(400, 200);
    window.show();
    window.activateWindow();
    return QApplication::exec();
}
