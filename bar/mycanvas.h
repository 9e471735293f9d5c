#pragma once

// The drag handle at the bar's left end: paints its backdrop picture and hands its mouse and
// context-menu events to the handlers that the bar window attaches to it.

#include <QPixmap>
#include <QWidget>

#include <functional>

class QAction;
class QMenu;

class MyCanvas : public QWidget
{
    Q_OBJECT
public:
    explicit MyCanvas(QWidget* parent = nullptr);

    QPixmap Backdrop() const { return backdrop; }
    void setBackdrop(const QPixmap& picture);

    // Where the last press fell inside the handle, and the tick count of the last press taken
    // as a single click (0 after a double click).
    qint64 MyMouseX = 0;
    qint64 MyMouseY = 0;
    qint64 FirstClick = 0;

    // Appends the handle's menu items to base; true shows the menu.
    bool buildMenu(QMenu* base);

    // Whether the press now being handled is the contextual (right-button) click.
    bool contextualClick = false;

    // The events of the handle; the bar window attaches its handlers here. MouseDown returning
    // true takes the mouse: MouseDrag and MouseUp follow for that press.
    std::function<bool(MyCanvas*, int, int)> MouseDown;
    std::function<void(MyCanvas*, int, int)> MouseDrag;
    std::function<void(MyCanvas*, int, int)> MouseUp;
    std::function<bool(MyCanvas*, QMenu*, int, int)> ConstructContextualMenu;
    std::function<bool(MyCanvas*, QAction*)> ContextualMenuAction;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QPixmap backdrop;
    bool tracking = false;
};
