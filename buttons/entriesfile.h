#pragma once

// The entries file as a button holds it: its native path, its lines as bytes (separator lines
// included; decoded only for display, so that a file in any encoding keeps its bytes when lines
// are added or removed), whether those lines are the file's as last read, and a count of their
// changes. Nothing is written to the file until its lines have been read.

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

class EntriesFile
{
public:
    const QString& path() const { return filePath; }
    // Another file; its lines count as read or unread as they did, until markUnread or a read.
    void setPath(const QString& path) { filePath = path; }

    const QList<QByteArray>& lines() const { return fileLines; }
    // Counts every change of the lines; a menu remembers the count it was built at, so that a
    // delete acts only on the lines that menu shows.
    quint64 revision() const { return changes; }
    // False after a switch of files that left the new file unread, or when it could not be
    // read: the lines held may then not be the file's, and must not be written into it.
    bool isRead() const { return read; }

    // Why the lines held cannot be written back as the file's (they were made readable from a
    // file in another encoding); empty when they can.
    const QString& writeBackProblem() const { return unwritable; }
    void setWriteBackProblem(const QString& why) { unwritable = why; }

    // The file's lines as just read; a change is counted only when they differ from those held.
    void takeRead(QList<QByteArray> lines)
    {
        if (!read || lines != fileLines) {
            fileLines = std::move(lines);
            ++changes;
        }
        read = true;
    }
    // The file could not be read: no lines are held, and none may be written.
    void readFailed()
    {
        fileLines.clear();
        ++changes;
        read = false;
    }
    // The lines held are written as the file's from now on (a missing file written again).
    void markRead() { read = true; }
    void markUnread() { read = false; }
    // Replaces the lines (an edit, or one undone).
    void setLines(QList<QByteArray> lines)
    {
        fileLines = std::move(lines);
        ++changes;
    }

private:
    QString filePath;
    QString unwritable;
    QList<QByteArray> fileLines;
    quint64 changes = 0;
    bool read = false;
};
