#include "buttons/entrymenu.h"

#include <QApplication>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleOptionMenuItem>

namespace
{

// One column that scrolls: Qt's X11 menus lay a menu taller than the screen out in columns, and
// clip it.
class ScrollingMenuStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Menu_Scrollable)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        // As it scrolls down, Qt stretches a shown menu lower than the screen up to the screen's
        // top edge, over the strip; a desktop frame as wide as the screen is high keeps it
        // where it opened.
        if (metric == PM_MenuDesktopFrameWidth && widget && widget->isVisible())
            return widget->screen()->geometry().height();
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

} // namespace

EntryMenu::EntryMenu(QWidget* parent) : QMenu(parent)
{
    setSeparatorsCollapsible(false);
    auto* style = new ScrollingMenuStyle(QApplication::style()->name());
    style->setParent(this);
    setStyle(style);
    // Qt sizes the menu before it is placed (setVisible): no higher than the room beside the
    // strip, so that a menu shown again as it was is not laid out again, at a cost that grows
    // with its items.
    connect(this, &QMenu::aboutToShow, this, [this] {
        if (parentWidget())
            setMaximumHeight(placeBesideStrip(QMenu::sizeHint().height()).height());
    });
}

QSize EntryMenu::sizeHint() const
{
    QSize hint = QMenu::sizeHint();
    // Qt gives a menu its scroll arrows only when it is taller than the screen: a menu that has
    // to scroll beside the strip says it is, and is placed as it opens (setVisible).
    if (!isVisible() && parentWidget() && placeBesideStrip(hint.height()).height() < hint.height())
        hint.setHeight(qMax(hint.height(), parentWidget()->screen()->geometry().height() + 1));
    return hint;
}

void EntryMenu::setVisible(bool visible)
{
    // Qt puts a menu that does not fit under its button at the screen's top edge, over the
    // strip, where a second click on the button, meant to close the menu, would choose an
    // entry.
    if (visible && !isVisible() && parentWidget())
        setGeometry(placeBesideStrip(QMenu::sizeHint().height()));
    QMenu::setVisible(visible);
}

QRect EntryMenu::placeBesideStrip(int height) const
{
    const QWidget* button = parentWidget();
    // The strip has no frame; the frame Qt works out for it from a window manager's late
    // reparenting can be a single pixel.
    const QRect strip = button->window()->geometry();
    const QRect available = button->screen()->availableGeometry();
    const int roomBelow = available.bottom() - strip.bottom();
    const int roomAbove = strip.top() - available.top();
    if (height <= roomBelow || roomBelow >= roomAbove)
        return {x(), strip.bottom() + 1, width(), qMin(height, roomBelow)};
    const int shown = qMin(height, roomAbove);
    return {x(), strip.top() - shown, width(), shown};
}

// Qt's scroller takes every press, move and release in line with the menu past its scrolling
// edge, also those on the button right beside that edge: the menu would scroll on its own while
// the pointer rests on the button, and a second click there would scroll it instead of closing
// it. Qt is told of them as of the pointer beside the menu, and a press closes the menu.
void EntryMenu::mousePressEvent(QMouseEvent* event)
{
    if (!inLineOutside(event)) {
        QMenu::mousePressEvent(event);
        return;
    }
    // The press that closes the menu on its own button is not handed on to the button, which
    // would open the menu again.
    const QWidget* button = parentWidget();
    if (button && button->rect().contains(button->mapFromGlobal(event->globalPosition().toPoint())))
        setAttribute(Qt::WA_NoMouseReplay);
    close();
}

bool EntryMenu::event(QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return QMenu::event(event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (!inLineOutside(mouse))
        return QMenu::event(event);
    const QPointF beside(-1, mapFromGlobal(mouse->globalPosition()).y());
    QMouseEvent besideColumn(type, beside, mapToGlobal(beside), mouse->button(), mouse->buttons(),
                             mouse->modifiers(), mouse->pointingDevice());
    return QMenu::event(&besideColumn);
}

bool EntryMenu::inLineOutside(const QMouseEvent* event) const
{
    const QPoint at = mapFromGlobal(event->globalPosition().toPoint());
    return at.x() >= 0 && at.x() < width() && (at.y() < 0 || at.y() >= height());
}

void EntryMenu::initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const
{
    QMenu::initStyleOption(option, action);
    showAsWritten(option->text);
}

QString EntryMenu::bounded(const QString& text)
{
    constexpr qsizetype shownLength = 1000;
    if (text.size() <= shownLength)
        return text;
    QString shown = text.left(shownLength);
    if (shown.back().isHighSurrogate())
        shown.chop(1);
    return shown + QChar(0x2026);
}

void EntryMenu::showAsWritten(QString& text)
{
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
