// A text window for the typing tests: whatever arrives in it is written to the file given, on
// every change, so the test reads what a user would have seen.
// Usage: pastetarget OUTPUT_FILE

#include <QApplication>
#include <QPlainTextEdit>
#include <QSaveFile>

#include <cstdio>

namespace
{
class PasteTarget : public QPlainTextEdit
{
public:
    explicit PasteTarget(QString outputFile) : output(std::move(outputFile))
    {
        connect(this, &QPlainTextEdit::textChanged, this, &PasteTarget::save);
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
};
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: pastetarget OUTPUT_FILE\n");
        return 2;
    }
    PasteTarget window(arguments.first());
    window.setWindowTitle(QStringLiteral("pastetarget"));
    window.resize(400, 200);
    window.show();
    window.activateWindow();
    return QApplication::exec();
}
