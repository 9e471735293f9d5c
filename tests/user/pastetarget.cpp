// A text window for the typing tests: whatever arrives in it is written to the file given, on
// every change, so the test reads what a user would have seen. With --busy it takes MS
// milliseconds over each key press, as a loaded application does.
// Usage: pastetarget [--busy MS] OUTPUT_FILE

#include <QApplication>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QThread>

#include <cstdio>

namespace
{
class PasteTarget : public QPlainTextEdit
{
public:
    PasteTarget(QString outputFile, int busyMs) : output(std::move(outputFile)), busy(busyMs)
    {
        connect(this, &QPlainTextEdit::textChanged, this, &PasteTarget::save);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        QThread::msleep(static_cast<unsigned long>(busy));
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
    int busy;
};
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    const int busy = arguments.value(0) == QLatin1String("--busy") ? arguments.value(1).toInt() : 0;
    if (busy > 0)
        arguments = arguments.mid(2);
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: pastetarget [--busy MS] OUTPUT_FILE\n");
        return 2;
    }
    PasteTarget window(arguments.first(), busy);
    window.setWindowTitle(QStringLiteral("pastetarget"));
    window.resize(400, 200);
    window.show();
    window.activateWindow();
    return QApplication::exec();
}
