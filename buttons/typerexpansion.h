#pragma once

// The pure part of typing a typer: its backslash escapes, its trailing line end and its
// angle-bracket tags, with the date and time tokens. Running snippets is left to the caller.

#include <QDateTime>
#include <QString>

#include <functional>

namespace TyperExpansion
{

// What the escapes left: the text without its one removed trailing line end, and the flag the
// typing script receives (1 when a line end was removed, else 0).
struct Escaped {
    QString text;
    int lineEndFlag = 0;
};

// Backslash and n, r or p (either case) become a line feed, backslash and t a TAB; then one
// line end at the very end is removed and noted in the flag.
Escaped expandEscapes(const QString& typer);

enum class TagKind { Shell, Php, JavaScript, DateTime };

// Gives the text that replaces one tag, from its kind and its body (already stripped of its
// trailing semicolons, whitespace and question marks).
using TagResolver = std::function<QString(TagKind kind, const QString& body)>;

// Replaces every tag of the text by its result, each tag once and at its own place; results
// are never searched for tags again.
QString expandTags(const QString& scanned, const TagResolver& resolve);

// A date or time token's value at the given local time, or "INVALID".
QString dateTimeToken(const QString& token, const QDateTime& now);

} // namespace TyperExpansion
