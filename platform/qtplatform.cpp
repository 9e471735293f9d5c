#include "platform/qtplatform.h"

#include "platform/fileopener.h"
#include "platform/processtree.h"
#include "platform/windowstacking.h"
#include "platform/x11.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace
{

// The X server has gone (it ended, or a logout closed the display): nothing can be shown.
bool displayGone()
{
    xcb_connection_t* connection = X11::connection();
    return connection && xcb_connection_has_error(connection);
}

} // namespace

QtPlatform::QtPlatform(QString soundPlayerFolder) : playerFolder(std::move(soundPlayerFolder))
{
    clock.start();
}

void QtPlatform::openUrl(const QString& address)
{
    // Through QUrl the opener would get the scheme and host in lower case and the
    // percent-encoding rewritten; xdg-open is given the address as written.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    const bool started = opener.isEmpty()
                             ? QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode))
                             : QProcess::startDetached(opener, {address});
    if (!started)
        showMessage(
            QCoreApplication::applicationName(),
            QStringLiteral("Could not open %1: no application handles this address.").arg(address));
}

void QtPlatform::openFile(const QString& path)
{
    FileOpener::open(path, [this](const QString& text) {
        showMessage(QCoreApplication::applicationName(), text);
    });
}

ProcessResult QtPlatform::runProcess(const ProcessRequest& request)
{
    ProcessResult result;
    QProcess process;
    if (!request.environment.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (auto it = request.environment.cbegin(); it != request.environment.cend(); ++it)
            environment.insert(it.key(), it.value());
        process.setProcessEnvironment(environment);
    }
    // A group of its own, and the adopter of its descendants' orphans, so that stopping it
    // reaches every process it started, also one that left for a session of its own.
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::setpgid(0, 0);
        ProcessTree::prepareChild(parent);
    });

    // Wait in a local loop rather than waitForFinished(): another application may ask us for
    // the clipboard's contents meanwhile, and a blocked main thread would never answer it.
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        result.timedOut = true;
        loop.quit();
    });
    // The output is taken as it comes, so that its size is known before it fills the memory.
    const auto collect = [&] {
        result.standardOutput += process.readAllStandardOutput();
        result.standardError += process.readAllStandardError();
        if (result.standardOutput.size() + result.standardError.size() > request.outputLimit) {
            result.overflowed = true;
            loop.quit();
        }
    };
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, collect);
    QObject::connect(&process, &QProcess::readyReadStandardError, &loop, collect);

    process.start(request.program, request.arguments);
    const auto top = static_cast<pid_t>(process.processId());
    if (top > 0)
        ProcessTree::track(top);
    const auto untrack = qScopeGuard([top] {
        if (top > 0)
            ProcessTree::untrack(top);
    });
    if (!request.standardInput.isEmpty())
        process.write(request.standardInput);
    process.closeWriteChannel();
    if (process.state() != QProcess::NotRunning || process.error() != QProcess::FailedToStart) {
        limit.start(request.timeoutMs);
        if (process.state() != QProcess::NotRunning)
            runDroppingInput(loop);
    }

    if (process.error() == QProcess::FailedToStart) {
        result.errorText = process.errorString();
        return result;
    }
    result.started = true;
    // Stopped, or still running when a quit ended the wait: all it started goes with it.
    const bool stopping =
        result.timedOut || result.overflowed || process.state() != QProcess::NotRunning;
    if (stopping && top > 0) {
        ProcessTree::end(top);
        process.waitForFinished(1000);
    }
    if (result.overflowed) {
        result.standardOutput.clear();
        result.standardError.clear();
    } else {
        result.standardOutput += process.readAllStandardOutput();
        result.standardError += process.readAllStandardError();
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

bool QtPlatform::optionKeyDown() const
{
    const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
    return held.testFlag(Qt::ShiftModifier) || held.testFlag(Qt::AltModifier);
}

bool QtPlatform::mouseButtonDown() const
{
    return QGuiApplication::mouseButtons() != Qt::NoButton;
}

bool QtPlatform::modifierKeyDown() const
{
    // Asked of the display server, not taken from the last event: the keys may have gone up
    // while Kelvora received no input.
    constexpr Qt::KeyboardModifiers typing = Qt::ShiftModifier | Qt::ControlModifier |
                                             Qt::AltModifier | Qt::MetaModifier |
                                             Qt::GroupSwitchModifier;
    return (QGuiApplication::queryKeyboardModifiers() & typing) != Qt::NoModifier;
}

qint64 QtPlatform::ticks() const
{
    return clock.elapsed() * 60 / 1000;
}

double QtPlatform::currentUnixTime() const
{
    return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
}

QRect QtPlatform::screenGeometry() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

QRect QtPlatform::availableGeometry() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void QtPlatform::pauseKeepingEvents(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    runDroppingInput(loop);
}

namespace
{

// Input held back until a wait ends would be carried out then, on whatever shows by that time
// (a click made while a snippet ran would open a menu over its result): it is dropped instead.
class InputDropper : public QObject
{
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }
};

} // namespace

void QtPlatform::runDroppingInput(QEventLoop& loop)
{
    InputDropper dropper;
    QCoreApplication::instance()->installEventFilter(&dropper);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([&dropper] {
        QGuiApplication::restoreOverrideCursor();
        QCoreApplication::instance()->removeEventFilter(&dropper);
    });
    loop.exec();
}

QString QtPlatform::chooseOpenFile(const QString& caption, const QString& filter,
                                   const QString& folder)
{
    QFileDialog dialog(nullptr, caption, folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // Qt's own dialog: a desktop's native one could not be kept clear of the strip.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    WindowStacking::keepClearOfFloatingWindows(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

void QtPlatform::showMessage(const QString& title, const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(QCoreApplication::applicationName()),
                 qUtf8Printable(text));
    if (QGuiApplication::platformName() == QLatin1String("offscreen") ||
        QCoreApplication::closingDown() || displayGone())
        return;
    // Shown, never waited for here: a report while quitting is waited for by the start-up
    // code, and only when the user asked to quit.
    // Over an open dialog the box belongs to it: a dialog blocks every other window of ours,
    // and the user could not close the box while the dialog waits for them.
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok,
                                QApplication::activeModalWidget());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    WindowStacking::keepClearOfFloatingWindows(box);
    box->show();
}
