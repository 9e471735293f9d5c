#include "app/quitsignals.h"

#include "app/app.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

int signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t signalArrived = 0;

extern "C" void onQuitSignal(int)
{
    // Only async-signal-safe work here: wake the event loop through the socket.
    signalArrived = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

} // namespace

void catchQuitSignals()
{
    if (signalPipe[0] < 0 &&
        ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signalNumber, &action, nullptr);
}

void installQuitSignalHandlers(App& app)
{
    catchQuitSignals();
    if (signalPipe[1] < 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &app);
    // Every signal counts, also one while quitting: it ends a wait for a report to be read.
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app] {
        char bytes[16];
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[1], bytes, sizeof bytes);
        app.Quit(App::QuitBy::Session);
    });
}

bool quitSignalPending()
{
    return signalArrived != 0;
}
