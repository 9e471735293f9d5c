#include "app/startup.h"

#include "app/app.h"
#include "app/mymenubar.h"
#include "app/quitsignals.h"
#include "app/texts.h"
#include "bar/windowbevelbuttons.h"
#include "dialogs/dialogwindow.h"
#include "dialogs/dialogwindowask.h"
#include "dialogs/entrydialogs.h"
#include "platform/qtplatform.h"

#include <csignal>
#include <cstdio>

namespace
{

bool displayAvailable()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

} // namespace

int runKelvora(int argc, char** argv)
{
    // A write past the file-size limit (ulimit -f) then fails and is reported like any other
    // failed write, instead of killing the program before it has saved.
    std::signal(SIGXFSZ, SIG_IGN);
    if (!displayAvailable()) {
        std::fprintf(stderr, "%s\n", Texts::noDisplay.data());
        return 1;
    }
    // Wayland lets no client place or raise its own window; the strip needs both, so it runs
    // through XWayland unless the user chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    App app(argc, argv, std::make_unique<QtPlatform>());
    // Before any window shows: a signal that arrives early must quit cleanly too, not kill.
    installQuitSignalHandlers(app);
    // Declared before the menu bar so that the menu bar, which may sit in the bar window for a
    // global menu bar, is destroyed first.
    std::unique_ptr<WindowBevelButtons> bar;

    auto menuBar = std::make_unique<MyMenuBar>();
    app.setMenuBar(menuBar.get());
    app.registerSupportHandlers();
    // The question dialog shows once the event loop runs, so the start-up question comes up
    // with the strip, never under it, and nothing waits for the answer.
    QObject::connect(&app, &App::questionAsked, &app, &DialogWindowAsk::ask, Qt::QueuedConnection);

    app.Event_Open();

    // The default window, created only after Open, since it reads the preferences as it opens.
    bar = std::make_unique<WindowBevelButtons>();
    for (MyBevelButton* button : {bar->Bookmarks(), bar->Typers(), bar->Memos()})
        EntryDialogs::connectButton(button);
    bar->show();
    menuBar->offerMenus(bar.get());

    const int exitCode = app.exec();
    // Whatever ended the loop, the buttons store their keys before the preferences are saved.
    // A dialog still open is closed without acting on it.
    DialogWindow::discardAll();
    bar->close();
    app.Event_Close();
    return exitCode;
}
