#include "app/singleinstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace
{

// A running instance may still be starting and not yet listening: it is asked for this long.
constexpr int askForMs = 5000;
constexpr int askStepMs = 100;

QString displayName()
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const QString name = qEnvironmentVariable(variable); !name.isEmpty())
            return name;
    return QGuiApplication::platformName();
}

} // namespace

SingleInstance::SingleInstance()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QString display = displayName();
    display.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9.]")), QStringLiteral("_"));
    socketPath = QDir(folder).filePath(
        QStringLiteral("Kelvora-%1-%2").arg(QString::number(::getuid()), display));
}

bool SingleInstance::claim()
{
    lock = std::make_unique<QLockFile>(socketPath + QStringLiteral(".lock"));
    // Only a lock whose process has gone is taken over, however long the holder has run.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        QLocalServer::removeServer(socketPath); // left by an instance that crashed
        server.setSocketOptions(QLocalServer::UserAccessOption);
        connect(&server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* other = server.nextPendingConnection())
                other->deleteLater();
            emit anotherStarted();
        });
        if (!server.listen(socketPath))
            std::fprintf(stderr, "Kelvora: a later start cannot reach this one through %s (%s).\n",
                         qUtf8Printable(socketPath), qUtf8Printable(server.errorString()));
        return true;
    }
    if (lock->error() != QLockFile::LockFailedError) {
        // The lock cannot be made at all (an unwritable runtime folder): run unguarded.
        std::fprintf(stderr, "Kelvora: cannot tell whether Kelvora already runs (%s).\n",
                     qUtf8Printable(socketPath));
        return true;
    }
    QElapsedTimer asking;
    asking.start();
    QLocalSocket socket;
    while (asking.elapsed() < askForMs) {
        socket.connectToServer(socketPath);
        if (socket.waitForConnected(askStepMs)) {
            socket.disconnectFromServer();
            return false;
        }
        QThread::msleep(askStepMs);
    }
    std::fprintf(stderr, "Kelvora already runs on this display but does not answer.\n");
    return false;
}
