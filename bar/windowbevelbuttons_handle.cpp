// The drag handle's handlers: dragging, the double click that shrinks or expands the bar, and
// the handle's context menu.

#include "bar/windowbevelbuttons.h"

#include "app/app.h"
#include "app/stringmodule.h"
#include "app/texts.h"
#include "bar/mycanvas.h"

#include <QAction>

namespace
{
// Half a second in ticks: a second press sooner completes a double click.
constexpr qint64 doubleClickTicks = 30;
} // namespace

bool WindowBevelButtons::SettingsCanvas_MouseDown(MyCanvas* sender, int X, int Y)
{
    App& app = *App::instance();
    BundleResources& resources = app.resources();
    sender->setBackdrop(resources.P_On());
    sender->MyMouseX = X;
    sender->MyMouseY = Y;
    stopHoldingPosition();

    if (sender->contextualClick) {
        sender->setBackdrop(resources.P_Off());
        return false;
    }
    // FirstClick 0 means no single click is pending. Our tick counter starts with the program,
    // so without this test a first press in its first half second would count as a double click.
    const qint64 now = app.platform().ticks();
    if (sender->FirstClick != 0 && now - sender->FirstClick < doubleClickTicks) {
        sender->setBackdrop(resources.P_Off());
        resize();
        sender->FirstClick = 0;
        return false;
    }
    sender->FirstClick = now;
    return true;
}

void WindowBevelButtons::SettingsCanvas_MouseDrag(MyCanvas* sender, int X, int Y)
{
    // No bounds while dragging: the move debounce clamps the bar once the button is up.
    move(x() + static_cast<int>(X - sender->MyMouseX),
         y() + static_cast<int>(Y - sender->MyMouseY));
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
        resize();
        return;
    }
    auto& prefs = App::instance()->Preferences();
    if (StringModule::regExTest(QStringLiteral("All"), text, false))
        prefs.Set(Keys::CurrentBevelButton, QVariant());
    else
        prefs.Set(Keys::CurrentBevelButton, text);
    buildBevelButtons();
}
