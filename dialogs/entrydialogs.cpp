#include "dialogs/entrydialogs.h"

#include "buttons/mybevelbutton.h"
#include "dialogs/dialogwindowbookmark.h"
#include "dialogs/dialogwindowtext.h"

namespace EntryDialogs
{

void connectButton(MyBevelButton* button)
{
    QObject::connect(button, &MyBevelButton::bookmarkDialogRequested, button,
                     [](const QString& text) { DialogWindowBookmark::instance()->open(text); });
    QObject::connect(
        button, &MyBevelButton::textDialogRequested, button,
        [button](const QString& text) { DialogWindowText::instance()->open(text, button); });
}

} // namespace EntryDialogs
