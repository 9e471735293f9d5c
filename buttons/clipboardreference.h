#pragma once

// "--clipboard" in a typer's shell, PHP or JavaScript snippet: it becomes a reference to the
// environment variable KELVORA_CLIPBOARD, so the clipboard's text reaches the snippet as data
// and is never read as code, whatever quotes, dollars or backquotes it holds.

#include <QLatin1StringView>
#include <QString>

namespace ClipboardReference
{

inline constexpr QLatin1StringView variable{"KELVORA_CLIPBOARD"};

// The shell: "${KELVORA_CLIPBOARD}" as a word of its own, ${KELVORA_CLIPBOARD} inside double
// quotes, and closing and reopening single quotes around it inside single quotes. Inside a
// command substitution, $( ) or backquotes, the quoting starts afresh. The placeholder is
// matched in this letter case only.
QString forShell(const QString& command);

// PHP and JavaScript, the placeholder in any letter case. Inside a string literal the value
// is the clipboard's text itself (as a double quote escaped by a backslash reads there);
// elsewhere, and inside PHP's single quotes, it is a string expression whose value is the
// text with a backslash before each double quote. Comments are left alone.
QString forPhp(const QString& code);
QString forJavaScript(const QString& code);

// Whether a snippet refers to the variable, so it must be given to the interpreter.
bool refersToVariable(const QString& code);

} // namespace ClipboardReference
