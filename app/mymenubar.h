#pragma once

// The application's menu bar: Edit, View and Support, built once at start-up. Linux shows no
// menu bar for a utility whose only window is a strip, so the same menus are offered through
// the desktop's global menu bar where it has one, and from a system-tray icon.

#include <QMenuBar>

class QSystemTrayIcon;

class MyMenuBar : public QMenuBar
{
    Q_OBJECT
public:
    explicit MyMenuBar(QWidget* parent = nullptr);
    ~MyMenuBar() override;

    // Build the Edit, View and Support menus.
    void Untitled0();
    void Untitled1();
    void Untitled2();

    // Makes the menus reachable once the bar window exists: the global menu bar follows that
    // window, and a tray icon shows them where a system tray is running.
    void offerMenus(QWidget* barWindow);

private:
    QMenu* addNamedMenu(QMenu* menu, QLatin1StringView name, QLatin1StringView text);
    QMenu* menuNamed(QLatin1StringView name) const;
    QAction* addItem(QLatin1StringView menuName, QLatin1StringView name, const QString& text,
                     const QKeySequence& shortcut = {});
    void addSeparator(QLatin1StringView menuName, QLatin1StringView name);
    void addEditItem(QLatin1StringView name, QLatin1StringView text, QKeySequence::StandardKey key,
                     const char* command);
    void addSupportItem(QLatin1StringView name, const QString& text);

    QSystemTrayIcon* tray = nullptr;
};
