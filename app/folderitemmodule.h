#pragma once

// File-name tests shared by the entry buttons.

#include <QByteArray>
#include <QString>

namespace FolderItemModule
{

// True for a folder; otherwise whether the name ends in "." + extension, letter case ignored.
bool hasExtension(const QString& path, const QString& extension);

// Creates or replaces the file with the bytes through a temporary file and a rename: a failure
// (a full disk, a size limit, no permission) leaves the old file whole and puts the reason
// into *error.
bool writeAtomically(const QString& path, const QByteArray& bytes, QString* error);

} // namespace FolderItemModule
