#pragma once

// "--clipboard" in a typer's shell, PHP or JavaScript snippet: it becomes a reference that reads
// the file named by the environment variable KELVORA_CLIPBOARD_FILE, so the clipboard's text
// reaches the snippet as data, whole at any size, and is never read as code, whatever quotes,
// dollars or backquotes it holds.

#include <QLatin1StringView>
#include <QString>

namespace ClipboardReference
{

// The text also goes in the environment variable when it fits there.
inline constexpr QLatin1StringView variable{"KELVORA_CLIPBOARD"};
inline constexpr QLatin1StringView fileVariable{"KELVORA_CLIPBOARD_FILE"};

// The shell: the command is preceded by the shell variable KELVORA_CLIPBOARD set from the file,
// and "${KELVORA_CLIPBOARD}" is a word of its own, ${KELVORA_CLIPBOARD} inside double quotes
// and a here-document's body, and closing and reopening single quotes around it inside single
// quotes. Inside a command substitution, $( ) or backquotes, the quoting starts afresh. The
// placeholder is matched in this letter case only.
QString forShell(const QString& command);

// PHP and JavaScript, the placeholder in any letter case. Inside a string literal or a PHP
// heredoc the value is the clipboard's text itself (as a double quote escaped by a backslash
// reads there); elsewhere, and inside PHP's single quotes, it is a string expression whose
// value is the text with a backslash before each double quote. PHP's backquotes hand their
// command to the shell, where the shell's references apply. Comments and nowdocs are left
// alone.
QString forPhp(const QString& code);
QString forJavaScript(const QString& code);

// What a PHP file runs before code that refers to the variable: the PHP references read the
// text from the global it sets.
extern const QString phpPrelude;

// Whether a snippet refers to the variable, so the file must be given to the interpreter.
bool refersToVariable(const QString& code);

} // namespace ClipboardReference
