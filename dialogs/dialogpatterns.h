#pragma once

// Every pattern of the entry dialogs, written once. None is anchored unless it says so itself.
// They are used with Unicode properties, so that \w, \d and \s mean letters, digits and
// blanks of every script, and with letter case ignored (hosts and schemes are case-insensitive).

#include <QLatin1StringView>
#include <QRegularExpression>

namespace DialogPatterns
{

inline constexpr QRegularExpression::PatternOptions options{
    QRegularExpression::UseUnicodePropertiesOption};

// The whole field, blanks at its ends aside, is one web address (a host of two labels of at
// least two letters or digits, then any further labels, a port, a path) or one mail address.
// A label may hold hyphens inside and combining marks after its first letter, as
// internationalised host names do.
inline constexpr QLatin1StringView urlField{
    R"((?(DEFINE)(?<long>[\p{L}\d][-\p{L}\p{M}\d]*[\p{L}\p{M}\d]))"
    R"((?<host>(?&long)\.(?&long)(?:\.[\p{L}\d](?:[-\p{L}\p{M}\d]*[\p{L}\p{M}\d])?)*))"
    R"((?<rest>[^\s\p{Cc}]*)))"
    R"(\A\s*(?:https?://(?&host)(?::[0-9]+)?(?:[/?#](?&rest))?)"
    R"(|mailto:[\p{L}\d](?:[-_\p{L}\p{M}\d]*[\p{L}\p{M}\d])?@(?&host)(?:\?(?&rest))?)\s*\z)"};
// Two letters or digits in a row; a letter keeps the combining marks written after it.
inline constexpr QLatin1StringView word{R"((?:\w\p{M}*){2,})"};
// An address in a dropped or copied text: the scheme up to the first blank, quote or closer.
inline constexpr QLatin1StringView address{R"((((https?)|(mailto)):/*([^\s'">\)\}\]]+)))"};
// The host of an address: what follows the scheme and its colons and slashes.
inline constexpr QLatin1StringView host{R"(^[^:/]+[:/]+([^/]+))"};
// A mail address (1), without its query (2), its query (3), with the brackets around it.
inline constexpr QLatin1StringView mail{
    R"([\(\{\["'<]*(([^@\s"']+@[^\s@"'\?\)\}\]>]+)(\?[^\s@"'\?\)\}\]>]+)?)[\)\}\]>]*)"};

} // namespace DialogPatterns
