// The drag handle's handlers: dragging, the double click that shrinks or expands the bar, and
// the handle's context menu.

#include "bar/windowbevelbuttons.h"

#include "app/app.h"
#include "app/stringmodule.h"
#include "app/texts.h"
#include "bar/mycanvas.h"

#include <QAction>

bool WindowBevelButtons::SettingsCanvas_MouseDown(MyCanvas* sender, int, int)
{
    App& app = *App::instance();
    BundleResources& resources = app.resources();
    sender->setBackdrop(resources.P_On());
    stopHoldingPosition();

    if (sender->isContextualClick()) {
        sender->setBackdrop(resources.P_Off());
        return false;
    }
    if (sender->completesDoubleClick(app.platform().ticks())) {
        sender->setBackdrop(resources.P_Off());
        toggleSize();
        return false;
    }
    return true;
}

void WindowBevelButtons::SettingsCanvas_MouseDrag(MyCanvas* sender, int X, int Y)
{
    // No bounds while dragging: the move debounce clamps the bar once the button is up.
    const QPoint pressed = sender->pressPosition();
    move(x() + X - pressed.x(), y() + Y - pressed.y());
}

void WindowBevelButtons::SettingsCanvas_MouseUp(MyCanvas* sender, int, int)
{
    sender->setBackdrop(App::instance()->resources().P_Off());
}

bool WindowBevelButtons::SettingsCanvas_ConstructContextualMenu(MyCanvas* sender, QMenu* base, int,
                                                                int)
{
    return sender->buildMenu(base);
}

bool WindowBevelButtons::SettingsCanvas_ContextualMenuAction(MyCanvas*, QAction* hitItem)
{
    const QString t = hitItem->text();
    if (t == BarTexts::Quit) {
        App::instance()->Quit();
        return false;
    }
    chooseLayoutOrSize(t);
    return false;
}

void WindowBevelButtons::chooseLayoutOrSize(const QString& text)
{
    if (StringModule::regExTest(QStringLiteral("^(Ex)|(Min)"), text, false)) {
        toggleSize();
        return;
    }
    auto& prefs = App::instance()->Preferences();
    if (StringModule::regExTest(QStringLiteral("All"), text, false))
        prefs.Set(Keys::CurrentBevelButton, QVariant());
    else
        prefs.Set(Keys::CurrentBevelButton, text);
    buildBevelButtons();
}
