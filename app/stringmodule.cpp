#include "app/stringmodule.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include <cstdio>

namespace StringModule
{

namespace
{

QRegularExpression makeExpression(const QString& pattern, bool caseSensitive,
                                  QRegularExpression::PatternOptions options = {})
{
    if (!caseSensitive)
        options |= QRegularExpression::CaseInsensitiveOption;
    QRegularExpression expression(pattern, options);
    if (!expression.isValid())
        std::fprintf(stderr, "Kelvora: invalid pattern \"%s\": %s\n", qUtf8Printable(pattern),
                     qUtf8Printable(expression.errorString()));
    return expression;
}

QString replace(const QString& pattern, const QString& replacement, const QString& text,
                bool caseSensitive, bool all)
{
    const QRegularExpression expression = makeExpression(pattern, caseSensitive);
    if (!expression.isValid())
        return text;
    return replaceMatches(
        expression, text,
        [&](const QRegularExpressionMatch& match) { return expandReplacement(replacement, match); },
        all);
}

} // namespace

QString replaceMatches(const QRegularExpression& expression, const QString& text,
                       const std::function<QString(const QRegularExpressionMatch&)>& make, bool all)
{
    QString result;
    qsizetype copiedUpTo = 0;
    QRegularExpressionMatchIterator it = expression.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        result += QStringView(text).mid(copiedUpTo, match.capturedStart() - copiedUpTo);
        result += make(match);
        copiedUpTo = match.capturedEnd();
        if (!all)
            break;
    }
    result += QStringView(text).mid(copiedUpTo);
    return result;
}

QString expandReplacement(const QString& replacement, const QRegularExpressionMatch& match)
{
    QString out;
    out.reserve(replacement.size());
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement.at(i);
        if (c == QLatin1Char('\\') && i + 1 < replacement.size()) {
            const QChar next = replacement.at(i + 1);
            if (next == QLatin1Char('\\')) {
                out += QLatin1Char('\\');
                ++i;
                continue;
            }
            if (next.isDigit() && next.unicode() < 128) {
                out += match.captured(next.digitValue());
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

bool regExTest(const QString& pattern, const QString& text, bool caseSensitive,
               QRegularExpression::PatternOptions options)
{
    return regExMatch(pattern, text, caseSensitive, options).has_value();
}

std::optional<QRegularExpressionMatch> regExMatch(const QString& pattern, const QString& text,
                                                  bool caseSensitive,
                                                  QRegularExpression::PatternOptions options)
{
    const QRegularExpression expression = makeExpression(pattern, caseSensitive, options);
    if (!expression.isValid())
        return std::nullopt;
    QRegularExpressionMatch match = expression.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return match;
}

QString regExReplace(const QString& pattern, const QString& replacement, const QString& text,
                     bool caseSensitive)
{
    return replace(pattern, replacement, text, caseSensitive, false);
}

QString regExReplaceAll(const QString& pattern, const QString& replacement, const QString& text,
                        bool caseSensitive)
{
    return replace(pattern, replacement, text, caseSensitive, true);
}

QString asMd5(const QString& text)
{
    return asMd5(text.toUtf8());
}

QString asMd5(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

QString escapeDoubleQuote(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('"'), QStringLiteral("\\\\\""));
    return out;
}

} // namespace StringModule
