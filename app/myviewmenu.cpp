#include "app/myviewmenu.h"

#include "app/app.h"
#include "app/stringmodule.h"
#include "app/texts.h"

MyViewMenu::MyViewMenu(QWidget* parent) : QMenu(parent)
{
    connect(this, &QMenu::aboutToShow, this, &MyViewMenu::Event_EnableMenu);
    connect(this, &QMenu::triggered, this, &MyViewMenu::Event_Action);
}

void MyViewMenu::Event_EnableMenu()
{
    buildMenu();
}

void MyViewMenu::buildMenu()
{
    clear();
    for (QString& entry : menuEntries) {
        if (entry == BarTexts::separator) {
            addSeparator();
            continue;
        }
        // The size word follows the bar's size also when it changed without a new list (a
        // double click on the handle); the rewritten word stays in the list.
        if (StringModule::regExTest(QStringLiteral("(Minim)|(Expand)"), entry, false))
            entry = sizeWord();
        addAction(entry);
    }
}

bool MyViewMenu::storedMinimised()
{
    return App::instance()->Preferences().Get(Keys::windowSize).toString() == BarTexts::Min;
}

QLatin1StringView MyViewMenu::sizeWord()
{
    return storedMinimised() ? BarTexts::Expand : BarTexts::Minimize;
}

bool MyViewMenu::Event_Action(QAction* item)
{
    emit layoutOrSizeChosen(item->text());
    return false;
}
