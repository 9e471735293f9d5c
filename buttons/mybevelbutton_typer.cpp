#include "app/app.h"
#include "buttons/mybevelbutton.h"
#include "buttons/typer.h"
#include "buttons/typerexpansion.h"

#include <QDateTime>

// Typers: the entry points; the typing itself is the Typer's.

Typer MyBevelButton::typer() const
{
    App* app = App::instance();
    return Typer(app->platform(), app->resources());
}

void MyBevelButton::doTyper(QAction* item)
{
    if (!item)
        return;
    typer().typeOnceMenuClosed(this, entryText(item));
}

QString MyBevelButton::typeShortcut(const QString& token)
{
    return TyperExpansion::dateTimeToken(token, QDateTime::currentDateTime());
}

QString MyBevelButton::typeShell(const QString& command)
{
    Typer typing = typer();
    return typing.told(typing.shell(command));
}

QString MyBevelButton::typePhp(const QString& code)
{
    Typer typing = typer();
    return typing.told(typing.php(code));
}

QString MyBevelButton::executePhpFromFile(const QString& code)
{
    Typer typing = typer();
    return typing.told(typing.phpFromFile(code));
}

QString MyBevelButton::typeJavaScript(const QString& code)
{
    Typer typing = typer();
    return typing.told(typing.javaScript(code));
}
