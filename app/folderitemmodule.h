#pragma once

// File-name tests shared by the entry buttons.

#include <QString>

namespace FolderItemModule
{

// True for a folder; otherwise whether the name ends in "." + extension, letter case ignored.
bool hasExtension(const QString& path, const QString& extension);

} // namespace FolderItemModule
