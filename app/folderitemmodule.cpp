#include "app/folderitemmodule.h"

#include "app/stringmodule.h"

#include <QFileInfo>
#include <QSaveFile>

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
