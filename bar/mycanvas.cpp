#include "bar/mycanvas.h"

#include "app/texts.h"
#include "bar/windowbevelbuttons.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace
{
// Half a second in ticks: a second press sooner completes a double click.
constexpr qint64 doubleClickTicks = 30;
} // namespace

MyCanvas::MyCanvas(QWidget* parent) : QWidget(parent) {}

void MyCanvas::setBackdrop(const QPixmap& picture)
{
    backdrop = picture;
    update();
}

bool MyCanvas::buildMenu(QMenu* base)
{
    for (const QString& item : WindowBevelButtons::layoutItems()) {
        if (item == BarTexts::separator)
            base->addSeparator();
        else
            base->addAction(item);
    }
    base->addSeparator();
    base->addAction(BarTexts::Quit);
    return true;
}

bool MyCanvas::completesDoubleClick(qint64 now)
{
    // The tick counter starts with the program, so without the test of 0 a first press in its
    // first half second would count as a double click.
    if (FirstClick != 0 && now - FirstClick < doubleClickTicks) {
        FirstClick = 0;
        return true;
    }
    FirstClick = now;
    return false;
}

void MyCanvas::paintEvent(QPaintEvent*)
{
    if (backdrop.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, backdrop);
}

void MyCanvas::mousePressEvent(QMouseEvent* event)
{
    contextualClick = event->button() == Qt::RightButton;
    const QPoint at = event->position().toPoint();
    MyMouseX = at.x();
    MyMouseY = at.y();
    bool taken = false;
    emit MouseDown(at.x(), at.y(), &taken);
    tracking = taken;
}

void MyCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!tracking)
        return;
    // Measured from where the window stands now rather than from the event's own position, which
    // the X server computed before our latest move had reached it.
    const QPoint at = mapFromGlobal(event->globalPosition().toPoint());
    emit MouseDrag(at.x(), at.y());
}

void MyCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (!tracking)
        return;
    tracking = false;
    const QPoint at = event->position().toPoint();
    emit MouseUp(at.x(), at.y());
}

void MyCanvas::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu base;
    bool show = false;
    emit ConstructContextualMenu(&base, event->x(), event->y(), &show);
    if (!show)
        return;
    if (QAction* hitItem = base.exec(event->globalPos()))
        emit ContextualMenuAction(hitItem);
}
