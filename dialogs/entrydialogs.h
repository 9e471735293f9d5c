#pragma once

// Connects an entry button to the entry dialogs: a bookmark chosen with Shift or Alt held, or
// text dropped on Bookmarks, opens the bookmark dialog; a typer or memo chosen so opens the
// text dialog for that button.

class MyBevelButton;

namespace EntryDialogs
{
void connectButton(MyBevelButton* button);
} // namespace EntryDialogs
