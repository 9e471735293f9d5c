#include "app/folderitemmodule.h"

#include "app/stringmodule.h"

#include <QFileInfo>

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

} // namespace FolderItemModule
