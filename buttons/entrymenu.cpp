#include "buttons/entrymenu.h"

#include <QStyleOptionMenuItem>

EntryMenu::EntryMenu(QWidget* parent) : QMenu(parent)
{
    setSeparatorsCollapsible(false);
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
