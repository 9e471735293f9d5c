#include "startup/startup.h"

#include "app/app.h"
#include "app/bundleresources.h"
#include "app/mymenubar.h"
#include "app/myviewmenu.h"
#include "app/quitsignals.h"
#include "app/singleinstance.h"
#include "app/texts.h"
#include "bar/windowbevelbuttons.h"
#include "dialogs/dialogwindow.h"
#include "dialogs/dialogwindowask.h"
#include "dialogs/entrydialogs.h"
#include "platform/qtplatform.h"
#include "platform/windowstacking.h"

#include <QMessageBox>
#include <QScopeGuard>
#include <QWindow>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace
{

bool displayAvailable()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// What quitting saves, saved once whichever way the program ends.
App* runningApp = nullptr;
WindowBevelButtons* runningBar = nullptr;
bool saved = false;

bool saveOnce()
{
    if (saved || !runningApp)
        return true;
    saved = true;
    return runningApp->Event_Close();
}

// Qt's X11 connection ends the program through exit() when the display goes away (the X server
// ended, a logout closed the display first), past the event loop and every window's close.
// Nothing can be shown or closed any more: the buttons' keys and the preferences are saved.
extern "C" void saveAtExit()
{
    if (!runningApp || saved)
        return;
    if (runningBar)
        runningBar->storeButtonKeys();
    saveOnce();
}

// A failed save reported to a user who asked to quit stays up until they have closed it; a
// signal or the display going away ends the wait at once.
void waitForReports(App& app)
{
    const QWindowList windows = QGuiApplication::topLevelWindows();
    if (!app.quitByUser() ||
        std::none_of(windows.cbegin(), windows.cend(), [](QWindow* w) { return w->isVisible(); }))
        return;
    app.setQuitOnLastWindowClosed(true);
    app.exec();
}

} // namespace

int runKelvora(int argc, char** argv)
{
    // First of all: a signal from here on quits cleanly, never kills.
    catchQuitSignals();
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
    App::setWindowIcon(app.applicationIcon());
    installQuitSignalHandlers(app);
    // Under a path Qt cannot spell, no file of the bundle or beside it can be reached: Kelvora
    // says so and ends before it reads or writes anything anywhere else.
    if (const QString unreachable = BundleResources::unreachableBundleText();
        !unreachable.isEmpty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(unreachable));
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QMessageBox::critical(nullptr, Texts::appName, unreachable);
        return 1;
    }
    // A second start on the same display leaves the preferences to the running one.
    SingleInstance instance;
    if (!instance.claim())
        return 0;
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
    if (MyViewMenu* viewMenu = app.ViewMenu())
        QObject::connect(viewMenu, &MyViewMenu::layoutOrSizeChosen, bar.get(),
                         &WindowBevelButtons::chooseLayoutOrSize);
    bar->show();
    menuBar->offerMenus(bar.get());
    // Minimised with a dialog of its (a window manager minimises a window's owner with it), or
    // on its own: the strip comes back at once.
    WindowStacking::restoreWhenMinimised(bar.get());
    QObject::connect(&instance, &SingleInstance::anotherStarted, bar.get(), [&bar] {
        WindowStacking::bringBack(bar.get());
        if (QWidget* dialog = QApplication::activeModalWidget())
            WindowStacking::bringBack(dialog);
    });

    runningApp = &app;
    runningBar = bar.get();
    const auto notRunning = qScopeGuard([] {
        runningApp = nullptr;
        runningBar = nullptr;
    });
    std::atexit(saveAtExit);

    // A quit asked for before the loop runs must not leave it running with nothing to end it.
    const int exitCode = app.isQuitting() ? 0 : app.exec();
    // Whatever ended the loop, the buttons store their keys before the preferences are saved.
    // A dialog still open is closed without acting on it.
    DialogWindow::discardAll();
    bar->close();
    if (!saveOnce())
        waitForReports(app);
    return exitCode;
}
