#include "platform/qtplatform.h"

#include "platform/windowstacking.h"

#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <cstdio>

QtPlatform::QtPlatform()
{
    clock.start();
}

void QtPlatform::openUrl(const QUrl& address)
{
    if (!QDesktopServices::openUrl(address))
        showMessage(QStringLiteral("Kelvora"),
                    QStringLiteral("Could not open %1: no application handles this address.")
                        .arg(address.toString()));
}

bool QtPlatform::openFile(const QString& path)
{
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return true;
    showMessage(
        QStringLiteral("Kelvora"),
        QStringLiteral("Could not open %1: no application is set up for this file.").arg(path));
    return false;
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

    process.start(request.program, request.arguments);
    if (!request.standardInput.isEmpty())
        process.write(request.standardInput);
    process.closeWriteChannel();
    if (process.state() != QProcess::NotRunning || process.error() != QProcess::FailedToStart) {
        limit.start(request.timeoutMs);
        if (process.state() != QProcess::NotRunning)
            loop.exec(QEventLoop::ExcludeUserInputEvents);
    }

    if (process.error() == QProcess::FailedToStart) {
        result.errorText = process.errorString();
        return result;
    }
    result.started = true;
    if (result.timedOut) {
        process.kill();
        process.waitForFinished(1000);
    }
    result.standardOutput = process.readAllStandardOutput();
    result.standardError = process.readAllStandardError();
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

bool QtPlatform::clipboardHasText() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data && data->hasText();
}

QString QtPlatform::clipboardText() const
{
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

void QtPlatform::setClipboardText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void QtPlatform::pauseKeepingEvents(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

QString QtPlatform::chooseOpenFile(const QString& caption, const QString& filter)
{
    return QFileDialog::getOpenFileName(nullptr, caption, QString(), filter);
}

void QtPlatform::showMessage(const QString& title, const QString& text)
{
    std::fprintf(stderr, "Kelvora: %s\n", qUtf8Printable(text));
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    WindowStacking::keepClearOfFloatingWindows(box);
    if (QCoreApplication::closingDown() || QThread::currentThread()->loopLevel() == 0) {
        // No event loop runs any more (a failure while quitting): wait for the user, but not
        // for ever, so that a logout is not held up.
        QTimer::singleShot(20000, box, &QMessageBox::accept);
        box->exec();
        return;
    }
    box->show();
}
