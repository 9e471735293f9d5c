#include "app/folderitemmodule.h"

#include "app/stringmodule.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FolderItemModule
{

bool hasExtension(const QString& path, const QString& extension)
{
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    return StringModule::regExTest(QStringLiteral("\\.") + extension + QStringLiteral("$"),
                                   info.fileName(), false);
}

QString notAFileReason(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return QStringLiteral("it is a folder");
    if (info.isSymLink() && !info.exists())
        return QStringLiteral("it is a link to %1, which does not exist").arg(info.symLinkTarget());
    if (!info.exists())
        return QStringLiteral("it does not exist");
    if (!info.isFile())
        return QStringLiteral("it is not a regular file");
    return {};
}

bool readFile(const QString& path, QByteArray* bytes, QString* problem)
{
    *problem = notAFileReason(path);
    if (!problem->isEmpty())
        return false;
    // Opened without waiting and judged again once open, so that a FIFO put in the file's place
    // meanwhile is neither waited for nor read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *problem = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        *problem = QStringLiteral("it is not a regular file");
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *problem = file.errorString();
        return false;
    }
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *problem = file.errorString();
        return false;
    }
    return true;
}

bool writeAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        file.cancelWriting();
        return false;
    };
    // Unbuffered, so that a short write shows in write()'s count: a buffered write lets
    // commit() put a truncated file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    const qint64 written = file.write(bytes);
    if (written < 0)
        return fail(file.errorString());
    if (written != bytes.size())
        return fail(QStringLiteral("only %1 of %2 bytes could be written; the disk may be full")
                        .arg(written)
                        .arg(bytes.size()));
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace FolderItemModule
