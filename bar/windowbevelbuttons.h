#pragma once

// The bar: the thin strip floating above every application's windows, with the drag handle and
// the three entry buttons; it keeps itself on the main screen and remembers where it was for
// each of its two sizes.

#include <QList>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <optional>

class MyBevelButton;
class MyCanvas;
class QAction;
class QMenu;
class QTimer;

class WindowBevelButtons : public QWidget
{
    Q_OBJECT
public:
    // Builds the window and its controls from their design values; the window is shown by its
    // creator, which opens it.
    WindowBevelButtons();
    ~WindowBevelButtons() override;

    // The one bar window, or nullptr while there is none.
    static WindowBevelButtons* instance();

    // The bar's width when expanded: 558 with all three buttons, 198 with one.
    qint64 currentWidth = 0;

    MyCanvas* SettingsCanvas() const;
    MyBevelButton* Bookmarks() const;
    MyBevelButton* Typers() const;
    MyBevelButton* Memos() const;

    // The handle's events.
    bool SettingsCanvas_MouseDown(MyCanvas* sender, int X, int Y);
    void SettingsCanvas_MouseDrag(MyCanvas* sender, int X, int Y);
    void SettingsCanvas_MouseUp(MyCanvas* sender, int X, int Y);
    bool SettingsCanvas_ConstructContextualMenu(MyCanvas* sender, QMenu* base, int X, int Y);
    bool SettingsCanvas_ContextualMenuAction(MyCanvas* sender, QAction* hitItem);

    // The buttons put their keys into the preferences store, as they do when the window closes.
    void storeButtonKeys();

    // The window's Open, Close and Moved events.
    void Event_Open();
    void Event_Close();
    void Event_Moved();

    // Clamps the bar to the main screen and stores its position for the current size.
    void adjustPosition();
    // The layout and size items of the handle's menu and the View menu, "-" for a separator:
    // the buttons not shown alone, "Show All" while one is, then the size item.
    static QStringList layoutItems();
    // Toggles between expanded and shrunk to the handle, by the current width.
    void toggleSize();
    // Lays the buttons out for "CurrentBevelButton", hands the View menu its items, then applies
    // the size and position.
    void buildBevelButtons();
    // A choice of the handle's menu or the View menu by its text: a size word toggles the
    // size, "Show All" or a button name stores the layout and lays the buttons out again.
    void chooseLayoutOrSize(const QString& text);
    // Applies the width of the stored size and the position stored for it, or centres the bar.
    void setPosition();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private slots:
    // The move debounce ran out: clamps and stores the bar's position once the mouse button is
    // up, or waits another period while it is still held (a drag in progress).
    void hasMovedTimer_Action();

private:
    void Layout();
    void CreateControls();
    void _CreateControls0();
    QList<MyBevelButton*> entryButtons() const;
    void holdPositionAgainstWindowManager();
    void stopHoldingPosition();

    // The move debounce, created when the window opens.
    QTimer* hasMovedTimer = nullptr;
    // Puts the bar back where it opened should the window manager move it after mapping it.
    QTimer* windowManagerSettle = nullptr;
    // Where the bar opened, while the window manager has not yet shown it there: its moves
    // meanwhile are the window manager's framing, neither bounded nor stored.
    std::optional<QPoint> awaitedPlace;
    bool opened = false;
    bool closed = false;
};
