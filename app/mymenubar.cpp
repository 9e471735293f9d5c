#include "app/mymenubar.h"

#include "app/app.h"
#include "app/myviewmenu.h"
#include "app/texts.h"

#include <QApplication>
#include <QCursor>
#include <QSystemTrayIcon>

MyMenuBar::MyMenuBar(QWidget* parent) : QMenuBar(parent)
{
    Untitled0();
    Untitled1();
    Untitled2();
}

MyMenuBar::~MyMenuBar() = default;

QMenu* MyMenuBar::addNamedMenu(QMenu* menu, QLatin1StringView name, QLatin1StringView text)
{
    menu->setObjectName(name);
    menu->setTitle(text);
    menu->menuAction()->setObjectName(name);
    addMenu(menu);
    return menu;
}

QMenu* MyMenuBar::menuNamed(QLatin1StringView name) const
{
    return findChild<QMenu*>(name, Qt::FindDirectChildrenOnly);
}

QAction* MyMenuBar::addItem(QLatin1StringView menuName, QLatin1StringView name, const QString& text,
                            const QKeySequence& shortcut)
{
    QMenu* menu = menuNamed(menuName);
    QAction* item = menu->addAction(text);
    item->setObjectName(name);
    item->setShortcut(shortcut);
    return item;
}

void MyMenuBar::addSeparator(QLatin1StringView menuName, QLatin1StringView name)
{
    menuNamed(menuName)->addSeparator()->setObjectName(name);
}

void MyMenuBar::addEditItem(QLatin1StringView name, QLatin1StringView text,
                            QKeySequence::StandardKey key, const char* command)
{
    QAction* item = addItem(MenuTexts::EditMenu, name, text, QKeySequence(key));
    // The standard command of whichever text field has the focus (the dialogs' fields); the
    // fields themselves already answer the keys.
    connect(item, &QAction::triggered, this, [command] {
        if (QWidget* field = QApplication::focusWidget()) {
            QMetaObject::invokeMethod(field, command);
            return;
        }
        // Chosen from the tray icon's menu, which took the keyboard from the open dialog: the
        // dialog's field is the one it had, and the dialog takes the keyboard back for typing on.
        QWidget* dialog = QApplication::activeModalWidget();
        if (QWidget* field = dialog ? dialog->focusWidget() : nullptr) {
            QMetaObject::invokeMethod(field, command);
            dialog->activateWindow();
        }
    });
}

void MyMenuBar::addSupportItem(QLatin1StringView name, const QString& text)
{
    QAction* item = addItem(MenuTexts::SupportMenu, name, text);
    // Whatever the start-up registered under the item's name.
    const QString itemName = name;
    connect(item, &QAction::triggered, this,
            [itemName] { App::instance()->runMenuHandler(itemName); });
}

void MyMenuBar::Untitled0()
{
    addNamedMenu(new QMenu(this), MenuTexts::EditMenu, MenuTexts::editText);
    addEditItem(MenuTexts::EditCut, MenuTexts::cutText, QKeySequence::Cut, "cut");
    addEditItem(MenuTexts::EditCopy, MenuTexts::copyText, QKeySequence::Copy, "copy");
    addEditItem(MenuTexts::EditPaste, MenuTexts::pasteText, QKeySequence::Paste, "paste");
    addSeparator(MenuTexts::EditMenu, MenuTexts::UntitledSeparator1);
    addEditItem(MenuTexts::EditSelectAll, MenuTexts::selectAllText, QKeySequence::SelectAll,
                "selectAll");
}

void MyMenuBar::Untitled1()
{
    // Empty until the bar window hands it its items.
    addNamedMenu(new MyViewMenu(this), MenuTexts::ViewMenu, MenuTexts::viewText);
}

void MyMenuBar::Untitled2()
{
    addNamedMenu(new QMenu(this), MenuTexts::SupportMenu, MenuTexts::supportText);
    addSupportItem(MenuTexts::SupportWhatIliked, MenuTexts::whatIlikedText);
    addSupportItem(MenuTexts::SupportMySuggestions, MenuTexts::mySuggestionsText);
    addSupportItem(MenuTexts::SupportProblemsIhad, MenuTexts::problemsIhadText);
    addSeparator(MenuTexts::SupportMenu, MenuTexts::Separator2);
    addSupportItem(MenuTexts::SupportSite, MenuTexts::siteHost);
    addSeparator(MenuTexts::SupportMenu, MenuTexts::Separator3);
    addSupportItem(MenuTexts::SupportCheckforUpdate, MenuTexts::checkForUpdateText);
}

void MyMenuBar::offerMenus(QWidget* barWindow)
{
    // A native (global) menu bar shows the menus of the window it belongs to; the widget itself
    // stays hidden, so it is never drawn on the strip.
    if (isNativeMenuBar())
        setParent(barWindow);

    if (tray)
        return;
    auto* trayMenu = new QMenu(this);
    for (QAction* menu : actions())
        trayMenu->addAction(menu);
    // Quit, the platform's own command on other desktops, ends the tray's menu.
    trayMenu->addSeparator();
    connect(trayMenu->addAction(BarTexts::Quit), &QAction::triggered, this,
            [] { App::instance()->Quit(); });

    tray = new QSystemTrayIcon(QApplication::windowIcon(), this);
    tray->setToolTip(Texts::appName);
    tray->setContextMenu(trayMenu);
    // A left click opens the same menu.
    connect(tray, &QSystemTrayIcon::activated, trayMenu,
            [trayMenu](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    trayMenu->popup(QCursor::pos());
            });
    // Shown whenever a tray is there, also one that appears later: a login item starts
    // Kelvora before the panel.
    tray->show();
}
