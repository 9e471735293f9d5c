#pragma once

// The drag handle at the bar's left end: paints its backdrop picture, keeps the state of its
// clicks and raises its mouse and context-menu events as signals for the bar window.

#include <QPixmap>
#include <QPoint>
#include <QWidget>

class QAction;
class QMenu;

class MyCanvas : public QWidget
{
    Q_OBJECT
public:
    explicit MyCanvas(QWidget* parent = nullptr);

    void setBackdrop(const QPixmap& picture);

    // Appends the handle's menu items to base; true shows the menu.
    bool buildMenu(QMenu* base);

    // Where the last press fell inside the handle.
    QPoint pressPosition() const { return QPoint(MyMouseX, MyMouseY); }
    // Whether the press now being handled is the contextual (right-button) click.
    bool isContextualClick() const { return contextualClick; }
    // Whether the handler took the last press: its drags and its release follow.
    bool tookMouse() const { return tracking; }
    // Counts a single click at the tick count now: true when it completes a double click with
    // the pending one, which is then cleared; otherwise it becomes the pending one.
    bool completesDoubleClick(qint64 now);

signals:
    // The handler sets *taken to take the mouse: MouseDrag and MouseUp follow for that press.
    void MouseDown(int X, int Y, bool* taken);
    void MouseDrag(int X, int Y);
    void MouseUp(int X, int Y);
    // The handler fills base and sets *show to show it.
    void ConstructContextualMenu(QMenu* base, int X, int Y, bool* show);
    void ContextualMenuAction(QAction* hitItem);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QPixmap backdrop;
    int MyMouseX = 0;
    int MyMouseY = 0;
    // The tick count of the last press taken as a single click; 0 while none is pending.
    qint64 FirstClick = 0;
    bool contextualClick = false;
    bool tracking = false;
};
