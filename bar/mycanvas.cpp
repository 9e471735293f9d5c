#include "bar/mycanvas.h"

#include "app/app.h"
#include "app/texts.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

MyCanvas::MyCanvas(QWidget* parent) : QWidget(parent) {}

void MyCanvas::setBackdrop(const QPixmap& picture)
{
    backdrop = picture;
    update();
}

bool MyCanvas::buildMenu(QMenu* base)
{
    auto& prefs = App::instance()->Preferences();
    const QVariant current = prefs.Get(Keys::CurrentBevelButton);
    const QString currentName = current.toString();
    for (const QString& name : QString(BarTexts::buttonNames).split(u',')) {
        if (currentName != name)
            base->addAction(name);
    }
    base->addSeparator();
    if (current.isValid()) {
        base->addAction(BarTexts::ShowAll);
        base->addSeparator();
    }
    const bool minimised = prefs.Get(Keys::windowSize).toString() == BarTexts::Min;
    base->addAction(minimised ? BarTexts::Expand : BarTexts::Minimize);
    base->addSeparator();
    base->addAction(BarTexts::Quit);
    return true;
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
    tracking = MouseDown && MouseDown(this, at.x(), at.y());
}

void MyCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!tracking || !MouseDrag)
        return;
    // Measured from where the window stands now rather than from the event's own position, which
    // the X server computed before our latest move had reached it.
    const QPoint at = mapFromGlobal(event->globalPosition().toPoint());
    MouseDrag(this, at.x(), at.y());
}

void MyCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (!tracking)
        return;
    tracking = false;
    const QPoint at = event->position().toPoint();
    if (MouseUp)
        MouseUp(this, at.x(), at.y());
}

void MyCanvas::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu base;
    if (!ConstructContextualMenu || !ConstructContextualMenu(this, &base, event->x(), event->y()))
        return;
    QAction* hitItem = base.exec(event->globalPos());
    if (hitItem && ContextualMenuAction)
        ContextualMenuAction(this, hitItem);
}
