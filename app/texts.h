#pragma once

// The system's own texts and preference keys, each defined once.

#include <QLatin1StringView>

namespace Keys
{
inline constexpr QLatin1StringView initDate{"initDate"};
inline constexpr QLatin1StringView isStartupItem{"isStartupItem"};
inline constexpr QLatin1StringView CurrentBevelButton{"CurrentBevelButton"};
inline constexpr QLatin1StringView windowSize{"windowSize"};
// Per-button suffixes, put after the button's control name.
inline constexpr QLatin1StringView File{"File"};
inline constexpr QLatin1StringView Folder{"Folder"};
inline constexpr QLatin1StringView MenuAsMd5{"MenuAsMd5"};
inline constexpr QLatin1StringView MenuItemTag{"MenuItemTag"};
inline constexpr QLatin1StringView MenuString{"MenuString"};
} // namespace Keys

namespace Texts
{
inline constexpr QLatin1StringView appName{"Kelvora"};
inline constexpr QLatin1StringView shortVersion{"1"};
inline constexpr QLatin1StringView longVersion{"as"};
inline constexpr QLatin1StringView startupQuestion{
    "Do you want to make Kelvora a StartUp item for the current user?"};
inline constexpr QLatin1StringView noDisplay{
    "Kelvora needs a graphical desktop, but no display was found (DISPLAY is not set)."};
// The entry buttons.
inline constexpr QLatin1StringView dropHint{
    "Drop selected Text or a Text-File with the txt/tab extension"};
inline constexpr QLatin1StringView noEntriesCaption{"Drop Text or a Text File"};
inline constexpr QLatin1StringView deleteMenuItem{"Delete Selected Menu Item"};
inline constexpr QLatin1StringView editMenu{"Edit Menu..."};
inline constexpr QLatin1StringView chooseFile{"Choose File.."};
inline constexpr QLatin1StringView chooseFileCaption{"Choose an Entries File"};
inline constexpr QLatin1StringView entriesFileFilter{"plain/text (*.txt *.tab)"};
inline constexpr QLatin1StringView tagAction{"Action"};
inline constexpr QLatin1StringView tagFile{"File"};
// The web search for a bookmark without an address; the encoded title follows.
inline constexpr QLatin1StringView webSearchAddress{"https://www.google.com/search?q="};
} // namespace Texts

// The platform's line end.
inline constexpr char EndOfLine = '\n';
inline constexpr qint64 secondsBetweenQuestions = 2592000; // 30 days
