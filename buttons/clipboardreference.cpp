#include "buttons/clipboardreference.h"

#include <QStringView>

namespace ClipboardReference
{

namespace
{

const QLatin1StringView placeholder{"--clipboard"};

// The references put in place of the placeholder. None of them holds the clipboard's text:
// the interpreter reads it from the environment when the snippet runs.
const QString shellWord = QStringLiteral("\"${KELVORA_CLIPBOARD}\"");
const QString shellInDoubleQuotes = QStringLiteral("${KELVORA_CLIPBOARD}");
const QString shellInSingleQuotes = QStringLiteral("'\"${KELVORA_CLIPBOARD}\"'");

const QString phpEscaped =
    QStringLiteral(R"(str_replace('"', '\\"', getenv('KELVORA_CLIPBOARD')))");
const QString phpInDoubleQuotes = QStringLiteral(R"(" . getenv('KELVORA_CLIPBOARD') . ")");
const QString phpInSingleQuotes = QStringLiteral("' . ") + phpEscaped + QStringLiteral(" . '");
// PHP hands a backquoted string to the shell, which reads the variable itself.
const QString phpInBackquotes = QStringLiteral(R"("\$KELVORA_CLIPBOARD")");

const QString jsText = QStringLiteral("process.env.KELVORA_CLIPBOARD");
const QString jsEscaped = jsText + QStringLiteral(R"(.replace(/"/g, '\\"'))");
const QString jsInTemplate = QStringLiteral("${") + jsText + QStringLiteral("}");

bool placeholderAt(const QString& code, qsizetype i, Qt::CaseSensitivity cs)
{
    return QStringView(code).sliced(i).startsWith(placeholder, cs);
}

// The index just past the quote that closes the literal opened at `open` (the text's end when
// it is not closed).
qsizetype literalEnd(const QString& code, qsizetype open, bool backslashEscapes)
{
    const QChar quote = code.at(open);
    for (qsizetype i = open + 1; i < code.size(); ++i) {
        if (backslashEscapes && code.at(i) == QLatin1Char('\\'))
            ++i;
        else if (code.at(i) == quote)
            return i + 1;
    }
    return code.size();
}

// The index just past a comment that starts at `from` and ends with `close` (included).
qsizetype commentEnd(const QString& code, qsizetype from, QLatin1StringView close)
{
    const qsizetype at = code.indexOf(close, from);
    return at < 0 ? code.size() : at + close.size();
}

bool startsAt(const QString& code, qsizetype i, QLatin1StringView what)
{
    return QStringView(code).sliced(i).startsWith(what);
}

QString replacePlaceholders(QStringView text, const QString& by, Qt::CaseSensitivity cs)
{
    QString out;
    qsizetype from = 0;
    for (qsizetype at; (at = text.indexOf(placeholder, from, cs)) >= 0;
         from = at + placeholder.size()) {
        out += text.mid(from, at - from);
        out += by;
    }
    out += text.mid(from);
    return out;
}

// A JavaScript quoted literal holding the placeholder, rewritten as a template literal so the
// reference can sit inside it and the literal stays one primary expression.
QString asTemplateLiteral(QStringView literal)
{
    const QChar quote = literal.at(0);
    QString out(QLatin1Char('`'));
    for (qsizetype j = 1; j < literal.size(); ++j) {
        const QChar c = literal.at(j);
        if (c == QLatin1Char('\\') && j + 1 < literal.size()) {
            out += c;
            out += literal.at(++j);
        } else if (c == quote) {
            break;
        } else if (c == QLatin1Char('`') || c == QLatin1Char('$')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (literal.sliced(j).startsWith(placeholder, Qt::CaseInsensitive)) {
            out += jsInTemplate;
            j += placeholder.size() - 1;
        } else {
            out += c;
        }
    }
    out += QLatin1Char('`');
    return out;
}

QString javaScriptTemplate(const QString& code, qsizetype& i);

// JavaScript code from `i`; with `untilBrace`, up to and including the brace that closes a
// template literal's ${...}.
QString javaScriptCode(const QString& code, qsizetype& i, bool untilBrace)
{
    QString out;
    int depth = 0;
    while (i < code.size()) {
        const QChar c = code.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = literalEnd(code, i, true);
            const QStringView literal = QStringView(code).mid(i, end - i);
            if (literal.contains(placeholder, Qt::CaseInsensitive))
                out += asTemplateLiteral(literal);
            else
                out += literal;
            i = end;
        } else if (c == QLatin1Char('`')) {
            out += javaScriptTemplate(code, i);
        } else if (startsAt(code, i, QLatin1StringView("//")) ||
                   startsAt(code, i, QLatin1StringView("/*"))) {
            const bool line = code.at(i + 1) == QLatin1Char('/');
            const qsizetype end = line ? commentEnd(code, i, QLatin1StringView("\n"))
                                       : commentEnd(code, i + 2, QLatin1StringView("*/"));
            out += QStringView(code).mid(i, end - i);
            i = end;
        } else if (placeholderAt(code, i, Qt::CaseInsensitive)) {
            out += jsEscaped;
            i += placeholder.size();
        } else {
            if (c == QLatin1Char('{')) {
                ++depth;
            } else if (c == QLatin1Char('}')) {
                if (untilBrace && depth == 0) {
                    out += c;
                    ++i;
                    return out;
                }
                --depth;
            }
            out += c;
            ++i;
        }
    }
    return out;
}

QString javaScriptTemplate(const QString& code, qsizetype& i)
{
    QString out(QLatin1Char('`'));
    ++i;
    while (i < code.size()) {
        const QChar c = code.at(i);
        if (c == QLatin1Char('\\')) {
            out += QStringView(code).mid(i, 2);
            i += 2;
        } else if (c == QLatin1Char('`')) {
            out += c;
            ++i;
            return out;
        } else if (startsAt(code, i, QLatin1StringView("${"))) {
            out += QStringLiteral("${");
            i += 2;
            out += javaScriptCode(code, i, true);
        } else if (placeholderAt(code, i, Qt::CaseInsensitive)) {
            out += jsInTemplate;
            i += placeholder.size();
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

// Shell code from `i` to the text's end or, with `close`, up to and including the character that
// closes double quotes or a command substitution (a parenthesis or a backquote). Inside a
// substitution the quoting starts afresh, also within double quotes: a reference there is a
// word of its own again.
QString shellCode(const QString& command, qsizetype& i, QChar close)
{
    const bool doubleQuoted = close == QLatin1Char('"');
    QString out;
    int depth = 0; // parentheses opened inside $( ), so that a subshell's ) does not end it
    while (i < command.size()) {
        const QChar c = command.at(i);
        if (c == QLatin1Char('\\')) {
            out += QStringView(command).mid(i, 2);
            i += 2;
        } else if (c == QLatin1Char('\'') && !doubleQuoted) {
            const qsizetype end = literalEnd(command, i, false);
            out += replacePlaceholders(QStringView(command).mid(i, end - i), shellInSingleQuotes,
                                       Qt::CaseSensitive);
            i = end;
        } else if (startsAt(command, i, QLatin1StringView("$("))) {
            out += QStringLiteral("$(");
            i += 2;
            out += shellCode(command, i, QLatin1Char(')'));
        } else if ((c == QLatin1Char('"') && !doubleQuoted) ||
                   (c == QLatin1Char('`') && close != c)) {
            out += c;
            ++i;
            out += shellCode(command, i, c);
        } else if (placeholderAt(command, i, Qt::CaseSensitive)) {
            out += doubleQuoted ? shellInDoubleQuotes : shellWord;
            i += placeholder.size();
        } else {
            if (c == QLatin1Char('(') && !doubleQuoted) {
                ++depth;
            } else if (c == QLatin1Char(')') && depth > 0) {
                --depth;
            } else if (c == close) {
                out += c;
                ++i;
                return out;
            }
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace

QString forShell(const QString& command)
{
    qsizetype i = 0;
    return shellCode(command, i, QChar());
}

QString forPhp(const QString& code)
{
    QString out;
    for (qsizetype i = 0; i < code.size();) {
        const QChar c = code.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
            const qsizetype end = literalEnd(code, i, true);
            const QStringView literal = QStringView(code).mid(i, end - i);
            if (!literal.contains(placeholder, Qt::CaseInsensitive)) {
                out += literal;
            } else if (c == QLatin1Char('`')) {
                out += replacePlaceholders(literal, phpInBackquotes, Qt::CaseInsensitive);
            } else {
                // In parentheses, so the joined pieces stay one operand whatever surrounds them.
                out += QLatin1Char('(');
                out += replacePlaceholders(
                    literal, c == QLatin1Char('"') ? phpInDoubleQuotes : phpInSingleQuotes,
                    Qt::CaseInsensitive);
                out += QLatin1Char(')');
            }
            i = end;
        } else if (startsAt(code, i, QLatin1StringView("//")) ||
                   (c == QLatin1Char('#') && !startsAt(code, i, QLatin1StringView("#[")))) {
            const qsizetype end = commentEnd(code, i, QLatin1StringView("\n"));
            out += QStringView(code).mid(i, end - i);
            i = end;
        } else if (startsAt(code, i, QLatin1StringView("/*"))) {
            const qsizetype end = commentEnd(code, i + 2, QLatin1StringView("*/"));
            out += QStringView(code).mid(i, end - i);
            i = end;
        } else if (placeholderAt(code, i, Qt::CaseInsensitive)) {
            out += phpEscaped;
            i += placeholder.size();
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString forJavaScript(const QString& code)
{
    qsizetype i = 0;
    return javaScriptCode(code, i, false);
}

bool refersToVariable(const QString& code)
{
    return code.contains(variable);
}

} // namespace ClipboardReference
