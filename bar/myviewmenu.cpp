#include "bar/myviewmenu.h"

#include "app/stringmodule.h"
#include "app/texts.h"
#include "bar/windowbevelbuttons.h"

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
            entry = WindowBevelButtons::sizeItem();
        addAction(entry);
    }
}

bool MyViewMenu::Event_Action(QAction* item)
{
    WindowBevelButtons* bar = WindowBevelButtons::instance();
    if (!bar)
        return false;
    bar->chooseLayoutOrSize(item->text());
    return false;
}
