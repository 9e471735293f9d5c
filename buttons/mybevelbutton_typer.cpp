#include "buttons/mybevelbutton.h"

// Placeholder bodies; the typer expansion replaces them.

void MyBevelButton::doTyper(QAction*) {}
QString MyBevelButton::typeShortcut(const QString&)
{
    return QStringLiteral("INVALID");
}
QString MyBevelButton::typeShell(const QString&)
{
    return {};
}
QString MyBevelButton::typePhp(const QString&)
{
    return {};
}
QString MyBevelButton::executePhpFromFile(const QString&)
{
    return {};
}
QString MyBevelButton::typeJavaScript(const QString&)
{
    return {};
}
