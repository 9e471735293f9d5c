#include "app/singleinstance.h"

#include "app/texts.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

// The socket's address, or nothing when the path does not fit in one.
bool socketAddress(const QString& path, sockaddr_un& address)
{
    const QByteArray name = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address.sun_path)) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return true;
}

sockaddr* generic(sockaddr_un& address)
{
    return reinterpret_cast<sockaddr*>(&address);
}

// Listens on PATH for later starts, readable by this user alone; -1 and errno when it cannot.
int listenOn(const QString& path)
{
    sockaddr_un address;
    if (!socketAddress(path, address))
        return -1;
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0)
        return -1;
    ::unlink(address.sun_path); // left by an instance that crashed
    if (::bind(socket, generic(address), sizeof address) == 0 &&
        ::chmod(address.sun_path, S_IRWXU) == 0 && ::listen(socket, SOMAXCONN) == 0)
        return socket;
    const int error = errno;
    ::close(socket);
    errno = error;
    return -1;
}

// True when an instance listens on PATH.
bool reaches(const QString& path)
{
    sockaddr_un address;
    if (!socketAddress(path, address))
        return false;
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        return false;
    const bool connected = ::connect(socket, generic(address), sizeof address) == 0;
    ::close(socket);
    return connected;
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
        QStringLiteral("%1-%2-%3").arg(Texts::appName, QString::number(::getuid()), display));
}

bool SingleInstance::claim()
{
    lock = std::make_unique<QLockFile>(socketPath + QStringLiteral(".lock"));
    // Only a lock whose process has gone is taken over, however long the holder has run.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        listening = listenOn(socketPath);
        if (listening < 0) {
            std::fprintf(stderr, "Kelvora: a later start cannot reach this one through %s (%s).\n",
                         qUtf8Printable(socketPath), std::strerror(errno));
            return true;
        }
        connections = std::make_unique<QSocketNotifier>(listening, QSocketNotifier::Read);
        connect(connections.get(), &QSocketNotifier::activated, this, [this] {
            for (int other; (other = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;)
                ::close(other);
            emit anotherStarted();
        });
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
    while (asking.elapsed() < askForMs) {
        if (reaches(socketPath))
            return false;
        QThread::msleep(askStepMs);
    }
    std::fprintf(stderr, "Kelvora already runs on this display but does not answer.\n");
    return false;
}

SingleInstance::~SingleInstance()
{
    if (listening < 0)
        return;
    connections.reset();
    ::close(listening);
    ::unlink(QFile::encodeName(socketPath).constData());
}
