// The smallest Qt Widgets programs that show a window: the yardsticks for Kelvora's start-up.
// Usage: minimal_window [strip]
// With "strip", a frameless strip of three text buttons; without, a bare window.

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(558, 18);
    if (QApplication::arguments().value(1) == QLatin1String("strip")) {
        window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        auto* layout = new QHBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        for (const char* name : {"Bookmarks", "Typers", "Memos"})
            layout->addWidget(new QPushButton(QString::fromLatin1(name), &window));
    }
    window.show();
    return app.exec();
}
