// The smallest Qt Widgets program that shows a window: the yardstick for Kelvora's start-up.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(558, 18);
    window.show();
    return app.exec();
}
