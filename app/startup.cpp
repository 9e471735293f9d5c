#include "app/startup.h"

#include "app/app.h"
#include "app/quitsignals.h"
#include "app/texts.h"
#include "platform/qtplatform.h"

#include <QWidget>

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
    // The menu bar and the handlers bound to its item names take their place here.

    app.Event_Open();

    // The default window, created only after Open, since it reads the preferences.
    auto placeholder = std::make_unique<QWidget>();
    placeholder->setWindowTitle(Texts::appName);
    placeholder->resize(558, 18);
    placeholder->show();

    const int exitCode = app.exec();
    placeholder->close();
    placeholder.reset();
    app.Event_Close();
    return exitCode;
}
