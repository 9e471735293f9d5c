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

namespace
{

QString shortWrite(qint64 written, qint64 size)
{
    return QStringLiteral("only %1 of %2 bytes could be written; the disk is full or a "
                          "file-size limit was reached")
        .arg(written)
        .arg(size);
}

// Writes the bytes over the file's own without truncating it first: the old bytes stay until
// every new one is written, and are put back (they fit where they were) when not all fit.
bool writeInPlace(const QString& path, const QByteArray& bytes, QString* reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        *reason = file.errorString();
        return false;
    }
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return false;
    }
    const qint64 written = file.seek(0) ? file.write(bytes) : -1;
    if (written == bytes.size() && file.resize(bytes.size()))
        return true;
    *reason = written >= 0 && written < bytes.size() ? shortWrite(written, bytes.size())
                                                     : file.errorString();
    if (!file.seek(0) || file.write(old) != old.size() || !file.resize(old.size()))
        *reason += QStringLiteral("; its old text could not be put back, so it may hold part of "
                                  "the new one");
    return false;
}

} // namespace

bool replaceFile(const QString& path, const QByteArray& bytes, QString* error, Fallback fallback)
{
    QString reason;
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    struct stat status = {};
    const bool regular = fallback == Fallback::InPlace &&
                         ::stat(QFile::encodeName(path).constData(), &status) == 0 &&
                         S_ISREG(status.st_mode);
    // A rename would give this name a new file and leave the file's other names (hard links)
    // with the old text.
    if (regular && status.st_nlink > 1)
        return writeInPlace(path, bytes, &reason) || fail(reason);

    QSaveFile file(path);
    // Unbuffered, so that a short write shows in write()'s count: a buffered write lets
    // commit() put a truncated file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // A folder that refuses the temporary file (a shared list in a read-only folder) may
        // still hold a file that can be written.
        if (regular)
            return writeInPlace(path, bytes, &reason) || fail(reason);
        return fail(file.errorString());
    }
    const qint64 written = file.write(bytes);
    if (written != bytes.size()) {
        reason = written < 0 ? file.errorString() : shortWrite(written, bytes.size());
        file.cancelWriting();
        return fail(reason);
    }
    return file.commit() || fail(file.errorString());
}

} // namespace FolderItemModule
