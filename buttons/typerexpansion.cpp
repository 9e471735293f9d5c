#include "buttons/typerexpansion.h"

#include "app/stringmodule.h"

#include <QRegularExpression>
#include <QStringList>

namespace TyperExpansion
{

namespace
{

// The characters stripped from the end of a tag's body: semicolons, question marks and the
// whitespace of the tag pattern's \s (ASCII only, as the pattern engine sees it by default).
bool isBodyTrailer(QChar c)
{
    switch (c.unicode()) {
    case ';':
    case '?':
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
        return true;
    default:
        return false;
    }
}

QString stripBody(const QString& body)
{
    qsizetype end = body.size();
    while (end > 0 && isBodyTrailer(body.at(end - 1)))
        --end;
    return body.left(end);
}

TagKind kindOf(const QRegularExpressionMatch& match)
{
    if (match.capturedLength(1) > 0)
        return TagKind::Shell;
    if (match.capturedLength(2) > 0)
        return TagKind::Php;
    if (match.capturedLength(3) > 0)
        return TagKind::JavaScript;
    return TagKind::DateTime;
}

const QStringList& weekdayNames()
{
    static const QStringList names =
        QStringLiteral("Sunday,Monday,Tuesday,Wednesday,Thursday,Friday,Saturday")
            .split(QLatin1Char(','));
    return names;
}

const QStringList& monthNames()
{
    static const QStringList names =
        QStringLiteral("January,February,March,April,May,June,July,August,September,October,"
                       "November,December")
            .split(QLatin1Char(','));
    return names;
}

} // namespace

Escaped expandEscapes(const QString& typer)
{
    Escaped result;
    QString& text = result.text;
    text.reserve(typer.size());
    // A backslash followed by n, r or p in either case is a line end; a backslash before
    // anything else stays, so "\\n" keeps its first backslash and ends the line after it.
    for (qsizetype i = 0; i < typer.size(); ++i) {
        const QChar c = typer.at(i);
        if (c == QLatin1Char('\\') && i + 1 < typer.size()) {
            const char16_t next = QChar::toLower(typer.at(i + 1).unicode());
            if (next == u'n' || next == u'r' || next == u'p') {
                text += QLatin1Char('\n');
                ++i;
                continue;
            }
        }
        text += c;
    }
    text.replace(QLatin1String("\\t"), QStringLiteral("\t"));

    if (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'))) {
        text.chop(1);
        result.lineEndFlag = 1;
    }
    return result;
}

QString expandTags(const QString& scanned, const TagResolver& resolve)
{
    // The kinds are told in any letter case, as PHP itself takes "<?PHP".
    static const QRegularExpression tag(
        QStringLiteral("<(#!\\s*)?(\\?[ph]*\\s*)?(javascript:\\s*)?([^>]+)>"),
        QRegularExpression::CaseInsensitiveOption);

    // Each result goes where its own tag stood: putting it at the first occurrence of the tag's
    // text instead could land inside an earlier result that happens to hold that text.
    return StringModule::replaceMatches(tag, scanned, [&](const QRegularExpressionMatch& match) {
        return resolve(kindOf(match), stripBody(match.captured(4)));
    });
}

QString dateTimeToken(const QString& token, const QDateTime& now)
{
    const auto ci = Qt::CaseInsensitive;
    const QString sql = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QDate date = now.date();
    const QTime time = now.time();

    if (token.startsWith(QLatin1String("Today"), ci) || token.endsWith(QLatin1String("Date"), ci))
        return sql.left(10);
    if (token.startsWith(QLatin1String("Now"), ci) || token.endsWith(QLatin1String("time"), ci))
        return sql.mid(11, 5);
    if (token.startsWith(QLatin1String("year"), ci) || token.endsWith(QLatin1String("yyyy"), ci))
        return sql.left(4);
    if (token == QLatin1String("YY"))
        return sql.mid(2, 2);
    if (token == QLatin1String("MM"))
        return sql.mid(5, 2);
    if (token == QLatin1String("M"))
        return QString::number(date.month());
    if (token == QLatin1String("DD"))
        return sql.mid(8, 2);
    if (token == QLatin1String("D"))
        return QString::number(date.day());
    if (token == QLatin1String("hh"))
        return sql.mid(11, 2);
    if (token == QLatin1String("h"))
        return QString::number(time.hour());
    if (token == QLatin1String("mm"))
        return sql.mid(14, 2);
    if (token == QLatin1String("m"))
        return QString::number(time.minute());
    if (token == QLatin1String("ss"))
        return sql.mid(17, 2);
    if (token == QLatin1String("s"))
        return QString::number(time.second());
    if (token.compare(QLatin1String("day"), ci) == 0)
        return weekdayNames().at(date.dayOfWeek() % 7); // dayOfWeek: Monday 1 .. Sunday 7
    if (token.compare(QLatin1String("month"), ci) == 0)
        return monthNames().at(date.month() - 1);
    return QStringLiteral("INVALID");
}

} // namespace TyperExpansion
