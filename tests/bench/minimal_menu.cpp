// What Qt itself needs for a press: a tool button that reads an entries file and pops up a
// freshly built menu of its lines at each press. The yardstick for Kelvora's press (menu.sh).
// Usage: minimal_menu ENTRIES_FILE

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QToolButton>

#include <memory>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString path = QApplication::arguments().value(1);
    QWidget window;
    window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.setGeometry(300, 200, 558, 18);
    auto* button = new QToolButton(&window);
    button->setText(QStringLiteral("Typers"));
    button->setGeometry(0, 0, 558, 18);
    std::unique_ptr<QMenu> menu;
    QObject::connect(button, &QToolButton::pressed, [&] {
        menu.reset();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        menu = std::make_unique<QMenu>();
        for (const QByteArray& line : file.readAll().split('\n'))
            if (!line.isEmpty())
                menu->addAction(QString::fromUtf8(line));
        menu->popup(button->mapToGlobal(QPoint(0, button->height())));
    });
    window.show();
    return app.exec();
}
