#include "buttons/clipboardreference.h"

#include <QList>
#include <QRegularExpression>
#include <QStringView>

#include <utility>

namespace ClipboardReference
{

namespace
{

const QLatin1StringView placeholder{"--clipboard"};

// The references put in place of the placeholder. None of them holds the clipboard's text:
// the interpreter reads it from the file when the snippet runs.
struct ShellReferences {
    QString word;
    QString inDoubleQuotes;
    QString inSingleQuotes;
    // Sets the shell variable from the file, final line ends included (a command substitution
    // alone would drop them); it holds texts too large for the environment.
    QString prelude;
};

const ShellReferences shellReferences{
    QStringLiteral("\"${KELVORA_CLIPBOARD}\""),
    QStringLiteral("${KELVORA_CLIPBOARD}"),
    QStringLiteral("'\"${KELVORA_CLIPBOARD}\"'"),
    QStringLiteral("KELVORA_CLIPBOARD=$(cat \"$KELVORA_CLIPBOARD_FILE\"; echo .); "
                   "KELVORA_CLIPBOARD=${KELVORA_CLIPBOARD%.}; "),
};

// PHP reads a backquoted command as a double-quoted string before the shell gets it: the
// shell's dollars are written \$ there.
ShellReferences escapedForPhpBackquotes(ShellReferences references)
{
    for (QString* reference : {&references.word, &references.inDoubleQuotes,
                               &references.inSingleQuotes, &references.prelude})
        reference->replace(QLatin1Char('$'), QStringLiteral("\\$"));
    return references;
}

const QString phpText = QStringLiteral("$GLOBALS['KELVORA_CLIPBOARD']");
const QString phpEscaped = QStringLiteral(R"(str_replace('"', '\\"', )") + phpText + u')';
const QString phpInDoubleQuotes = QStringLiteral("\" . ") + phpText + QStringLiteral(" . \"");
const QString phpInSingleQuotes = QStringLiteral("' . ") + phpEscaped + QStringLiteral(" . '");
// A heredoc cannot be closed and reopened around an expression, but it interpolates a variable.
const QString phpInHeredoc = u'{' + phpText + u'}';

const QString jsText =
    QStringLiteral("require('fs').readFileSync(process.env.KELVORA_CLIPBOARD_FILE, 'utf8')");
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

enum class ShellContext { Code, DoubleQuotes, HeredocBody };

QString shellCode(const QString& command, qsizetype& i, ShellContext context, QChar close,
                  const ShellReferences& references);

// A here-document waiting for the line end after its operator, where its body starts.
struct Heredoc {
    QString delimiter;
    bool quoted = false;    // a quoted delimiter: the body is taken as it stands
    bool stripTabs = false; // "<<-": the delimiter line may start with TABs
};

// The operator "<<" at `i` and its delimiter word, copied as they stand.
Heredoc heredocOperator(const QString& command, qsizetype& i, QString& out)
{
    Heredoc heredoc;
    qsizetype j = i + 2;
    if (j < command.size() && command.at(j) == QLatin1Char('-')) {
        heredoc.stripTabs = true;
        ++j;
    }
    while (j < command.size() && (command.at(j) == u' ' || command.at(j) == u'\t'))
        ++j;
    while (j < command.size() && !QStringView(u" \t\n;&|<>()").contains(command.at(j))) {
        const QChar c = command.at(j);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = literalEnd(command, j, c == QLatin1Char('"'));
            heredoc.delimiter += QStringView(command).mid(j + 1, end - j - 2);
            heredoc.quoted = true;
            j = end;
        } else if (c == QLatin1Char('\\')) {
            heredoc.delimiter += QStringView(command).mid(j + 1, 1);
            heredoc.quoted = true;
            j += 2;
        } else {
            heredoc.delimiter += c;
            ++j;
        }
    }
    j = qMin(j, command.size());
    out += QStringView(command).mid(i, j - i);
    i = j;
    return heredoc;
}

// The body of a here-document from `i` (a line start) and its delimiter line.
QString heredocBody(const QString& command, qsizetype& i, const Heredoc& heredoc,
                    const ShellReferences& references)
{
    const qsizetype start = i;
    qsizetype bodyEnd = command.size();
    while (i < command.size()) {
        qsizetype lineEnd = command.indexOf(QLatin1Char('\n'), i);
        if (lineEnd < 0)
            lineEnd = command.size();
        QStringView line = QStringView(command).mid(i, lineEnd - i);
        while (heredoc.stripTabs && line.startsWith(u'\t'))
            line = line.sliced(1);
        if (line == heredoc.delimiter) {
            bodyEnd = i;
            i = lineEnd;
            break;
        }
        i = qMin(lineEnd + 1, command.size());
    }
    const QString body = command.mid(start, bodyEnd - start);
    QString out;
    if (heredoc.quoted) {
        out = body;
    } else {
        qsizetype j = 0;
        out = shellCode(body, j, ShellContext::HeredocBody, QChar(), references);
    }
    return out + command.mid(bodyEnd, i - bodyEnd);
}

// Shell code from `i` to the text's end or, with `close`, up to and including the character that
// closes double quotes or a command substitution (a parenthesis or a backquote). Inside a
// substitution the quoting starts afresh, also within double quotes: a reference there is a
// word of its own again. A here-document's body reads like double quotes.
QString shellCode(const QString& command, qsizetype& i, ShellContext context, QChar close,
                  const ShellReferences& references)
{
    const bool code = context == ShellContext::Code;
    QString out;
    QList<Heredoc> heredocs; // operators on this line, their bodies after its end
    int depth = 0; // parentheses opened inside $( ), so that a subshell's ) does not end it
    while (i < command.size()) {
        const QChar c = command.at(i);
        if (c == QLatin1Char('\\')) {
            out += QStringView(command).mid(i, 2);
            i += 2;
        } else if (c == QLatin1Char('\'') && code) {
            const qsizetype end = literalEnd(command, i, false);
            out += replacePlaceholders(QStringView(command).mid(i, end - i),
                                       references.inSingleQuotes, Qt::CaseSensitive);
            i = end;
        } else if (startsAt(command, i, QLatin1StringView("$("))) {
            out += QStringLiteral("$(");
            i += 2;
            out += shellCode(command, i, ShellContext::Code, QLatin1Char(')'), references);
        } else if ((c == QLatin1Char('"') && code) || (c == QLatin1Char('`') && close != c)) {
            out += c;
            ++i;
            out += shellCode(
                command, i, c == QLatin1Char('"') ? ShellContext::DoubleQuotes : ShellContext::Code,
                c, references);
        } else if (code && startsAt(command, i, QLatin1StringView("<<"))) {
            heredocs.append(heredocOperator(command, i, out));
        } else if (placeholderAt(command, i, Qt::CaseSensitive)) {
            out += code ? references.word : references.inDoubleQuotes;
            i += placeholder.size();
        } else {
            if (c == QLatin1Char('(') && code) {
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
            if (c == QLatin1Char('\n')) {
                for (const Heredoc& heredoc : std::exchange(heredocs, {}))
                    out += heredocBody(command, i, heredoc, references);
            }
        }
    }
    return out;
}

QString shellWithReferences(const QString& command, const ShellReferences& references)
{
    qsizetype i = 0;
    const QString out = shellCode(command, i, ShellContext::Code, QChar(), references);
    return refersToVariable(out) ? references.prelude + out : out;
}

// A PHP heredoc or nowdoc starting at `i` ("<<<"), up to the start of its closing line; false
// when `i` starts none.
bool phpHeredoc(const QString& code, qsizetype& i, QString& out)
{
    static const QRegularExpression opener(
        QStringLiteral(R"(<<<[ \t]*(["']?)([A-Za-z_\x{80}-\x{ff}][\w\x{80}-\x{ff}]*)\1\r?\n)"));
    const QRegularExpressionMatch match = opener.match(
        code, i, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    if (!match.hasMatch())
        return false;
    const QRegularExpression closer(QStringLiteral(R"(^[ \t]*)") +
                                        QRegularExpression::escape(match.captured(2)) +
                                        QStringLiteral(R"((?![\w\x{80}-\x{ff}]))"),
                                    QRegularExpression::MultilineOption);
    const qsizetype bodyStart = match.capturedEnd();
    const QRegularExpressionMatch closing = closer.match(code, bodyStart);
    const qsizetype bodyEnd = closing.hasMatch() ? closing.capturedStart() : code.size();
    const QStringView body = QStringView(code).mid(bodyStart, bodyEnd - bodyStart);
    out += match.captured(0);
    const bool nowdoc = match.captured(1) == QLatin1String("'");
    out += nowdoc ? body.toString() : replacePlaceholders(body, phpInHeredoc, Qt::CaseInsensitive);
    i = bodyEnd;
    return true;
}

} // namespace

QString forShell(const QString& command)
{
    return shellWithReferences(command, shellReferences);
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
                static const ShellReferences inBackquotes =
                    escapedForPhpBackquotes(shellReferences);
                // PHP takes the placeholder in any letter case, the shell's rewriting in one.
                const bool closed = literal.size() > 1 && literal.endsWith(c);
                out += c;
                out +=
                    shellWithReferences(literal.mid(1, literal.size() - (closed ? 2 : 1))
                                            .toString()
                                            .replace(placeholder, placeholder, Qt::CaseInsensitive),
                                        inBackquotes);
                if (closed)
                    out += c;
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
        } else if (startsAt(code, i, QLatin1StringView("<<<")) && phpHeredoc(code, i, out)) {
            continue;
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

const QString phpPrelude = QStringLiteral(
    "$GLOBALS['KELVORA_CLIPBOARD'] = file_get_contents(getenv('KELVORA_CLIPBOARD_FILE')); ");

bool refersToVariable(const QString& code)
{
    return code.contains(variable);
}

} // namespace ClipboardReference
