#pragma once

// Every pattern of the entry dialogs, written once. None is anchored unless it says so itself.

#include <QLatin1StringView>

namespace DialogPatterns
{

// A web address with a host of two labels of at least two characters, or a mail address.
inline constexpr QLatin1StringView urlField{
    R"((https?://[a-z\d][-a-z\d]*[a-z\d]\.[a-z\d][-a-z\d]*[a-z\d])|(mailto:[a-z\d]([-_a-z\d]*[a-z\d])?@[a-z\d][-a-z\d]*[a-z\d]\.[a-z\d][-a-z\d]*[a-z\d]))"};
// Two word characters in a row.
inline constexpr QLatin1StringView word{R"(\w{2,})"};
// An address in a dropped or copied text: the scheme up to the first blank, quote or closer.
inline constexpr QLatin1StringView address{R"((((https?)|(mailto)):/*([^\s'">\)\}\]]+)))"};
// The host of an address: what follows the scheme and its colons and slashes.
inline constexpr QLatin1StringView host{R"(^[^:/]+[:/]+([^/]+))"};
// A mail address (1), without its query (2), its query (3), with the brackets around it.
inline constexpr QLatin1StringView mail{
    R"([\(\{\["'<]*(([^@\s"']+@[^\s@"'\?\)\}\]>]+)(\?[^\s@"'\?\)\}\]>]+)?)[\)\}\]>]*)"};

} // namespace DialogPatterns
