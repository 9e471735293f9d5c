#pragma once

// Stateless text helpers: Perl-compatible pattern tests and replacements, MD5 digests and
// quote escaping. Each call builds its own expression and keeps nothing.

#include <QByteArray>
#include <QRegularExpression>
#include <QRegularExpressionMatch>
#include <QString>

#include <functional>
#include <optional>

namespace StringModule
{

// Further options (Unicode properties, say) may be added to the case-sensitivity flag.
bool regExTest(const QString& pattern, const QString& text, bool caseSensitive,
               QRegularExpression::PatternOptions options = {});
// The first match, or nothing when the pattern does not match (or is not a valid pattern).
std::optional<QRegularExpressionMatch> regExMatch(const QString& pattern, const QString& text,
                                                  bool caseSensitive,
                                                  QRegularExpression::PatternOptions options = {});
// The replacement may refer to sub-expressions as \0 to \9; \\ stands for one backslash.
// Any other character, a $ included, is taken literally.
QString regExReplace(const QString& pattern, const QString& replacement, const QString& text,
                     bool caseSensitive);
QString regExReplaceAll(const QString& pattern, const QString& replacement, const QString& text,
                        bool caseSensitive);

// 32 lower-case hexadecimal digits; the text is digested as UTF-8.
QString asMd5(const QString& text);
QString asMd5(const QByteArray& bytes);

// Every double quote becomes two backslashes and the quote; nothing else changes.
QString escapeDoubleQuote(const QString& text);

// Replaces each match of the expression (only the first unless all) by what make() gives for
// it; the text between matches is kept as it is.
QString replaceMatches(const QRegularExpression& expression, const QString& text,
                       const std::function<QString(const QRegularExpressionMatch&)>& make,
                       bool all = true);

// Expands a replacement pattern for one match (exposed for the typer expansion).
QString expandReplacement(const QString& replacement, const QRegularExpressionMatch& match);

} // namespace StringModule
