#pragma once

// The entries file's format as bytes: CR LF, CR and LF all end a line on reading, lines are
// joined by LF with no final line end on writing, and every other byte passes unchanged.

#include <QByteArray>
#include <QList>
#include <QString>

namespace EntriesFileModule
{

// Every CR LF and every lone CR becomes LF.
QByteArray normalizeLineEnds(QByteArray text);
// The text split at LF; the empty text holds no lines. A long text is split in steps, with stop
// asked between them: once it answers true, the lines split so far.
QList<QByteArray> splitLines(const QByteArray& text, bool (*stop)() = nullptr);
QByteArray joinLines(const QList<QByteArray>& lines);

// Where line index of before stands in after, once another program changed the file: a line
// among those both share at the start keeps its index, one among those they share at the end
// moves by the count of lines added or removed between (so of two equal lines the one chosen
// is found); a line in the changed part is the nearest line with its bytes. -1 when no line
// holds them.
qsizetype followLine(const QList<QByteArray>& before, qsizetype index,
                     const QList<QByteArray>& after);

// Why bytes read from an entries file cannot be written back as read once split into lines at
// LF and joined again: a UTF-16 or UTF-32 byte-order mark, or NUL bytes (such a file without a
// mark), whose lines do not end at single LF bytes. Empty when they can.
QString writeBackProblem(const QByteArray& bytes);
// Such bytes made UTF-8 for display, best effort: decoded by their byte-order mark, else with
// their NUL bytes left out (UTF-16 of ASCII text then reads as it is meant).
QByteArray readableBytes(const QByteArray& bytes);

// Text for display: UTF-8 when the bytes are valid UTF-8, else one character per byte
// (Latin-1), so that any file shows something sensible and nothing is lost when it is written.
QString decode(const QByteArray& bytes);

// The text kept in the preferences as "MenuString", from which a missing file is written again.
// A preference holds text, not bytes: valid UTF-8 is kept as it reads; in any other text each
// byte from 0x80 up becomes a lone surrogate (U+DC80 to U+DCFF), which no decoded text holds,
// so that the file comes back byte for byte and nothing is encoded twice.
QString toStoredText(const QByteArray& bytes);
QByteArray fromStoredText(const QString& text);

} // namespace EntriesFileModule
