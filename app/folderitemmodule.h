#pragma once

// File-name tests shared by the entry buttons.

#include <QByteArray>
#include <QString>

namespace FolderItemModule
{

// True for a folder; otherwise whether the name ends in "." + extension, letter case ignored.
bool hasExtension(const QString& path, const QString& extension);

// Empty when the path names a regular file (links followed); otherwise why it cannot be read
// as one, in plain words: a folder, a link to nothing, a missing file, a FIFO or a device.
QString notAFileReason(const QString& path);

// Reads a whole regular file. False with the reason in plain words otherwise: a FIFO without a
// writer would hold the program forever and /dev/zero would fill its memory.
bool readFile(const QString& path, QByteArray* bytes, QString* problem);

// Creates or replaces the file with the bytes, through a temporary file and a rename, so that
// a failure (a full disk, a size limit, no permission) or a kill at any moment leaves the old
// file or the new one whole; a failure puts the reason into *error. With InPlace, a file with
// more than one name (hard link), or in a folder that refuses the temporary file, is written
// in place instead, its old bytes kept until all new ones are written: a failure still leaves
// the old file whole, but a kill during the write may leave part of each.
enum class Fallback { None, InPlace };
bool replaceFile(const QString& path, const QByteArray& bytes, QString* error, Fallback fallback);

} // namespace FolderItemModule
