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

void EntryMenu::showAsWritten(QString& text)
{
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
