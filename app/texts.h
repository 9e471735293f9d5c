#pragma once

// The system's own texts and preference keys, each defined once.

#include <QLatin1StringView>
#include <QString>

// The platform's line end.
inline constexpr char EndOfLine = '\n';

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
// The bar's position keys: "window" + the text of "windowSize" + "Left" or "Top".
inline constexpr QLatin1StringView windowKeyPrefix{"window"};
inline constexpr QLatin1StringView LeftSuffix{"Left"};
inline constexpr QLatin1StringView TopSuffix{"Top"};
} // namespace Keys

namespace Texts
{
inline constexpr QLatin1StringView appName{"Kelvora"};
inline constexpr QLatin1StringView shortVersion{"1"};
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
// The last entry item, disabled, of a menu that shows only the first lines of a long file.
inline QString linesNotShown(qsizetype count)
{
    return (count == 1 ? QStringLiteral("1 more line is not shown")
                       : QStringLiteral("%L1 more lines are not shown").arg(count)) +
           QStringLiteral(": \"") + editMenu + QStringLiteral("\" shows every line");
}
// Why an entries file is shown but never written, and the edit refused for it ("added" or
// "removed").
inline constexpr QLatin1StringView savedAsUtf16{
    "it is saved as UTF-16 (it begins with a UTF-16 byte-order mark)"};
inline constexpr QLatin1StringView savedAsUtf32{
    "it is saved as UTF-32 (it begins with a UTF-32 byte-order mark)"};
inline constexpr QLatin1StringView holdsNulBytes{
    "it holds NUL bytes, as a file saved as UTF-16 or UTF-32 does"};
inline QString editRefused(const QString& what, const QString& path, const QString& why)
{
    return QStringLiteral("The entry was not %1: Kelvora does not change the entries file %2, "
                          "since %3 and Kelvora could not write it back as it was. The file was "
                          "left as it is; saved as UTF-8, it can be edited here.")
        .arg(what, path, why);
}
inline constexpr QLatin1StringView chooseFileCaption{"Choose an Entries File"};
inline constexpr QLatin1StringView entriesFileFilter{"plain/text (*.txt *.tab)"};
inline constexpr QLatin1StringView tagAction{"Action"};
inline constexpr QLatin1StringView tagFile{"File"};
// The product's addresses: feedback mail, web site and the disk image offered by the update
// check.
inline constexpr QLatin1StringView feedbackAddress{"feedback@kelvora.app"};
inline constexpr QLatin1StringView siteAddress{"https://www.kelvora.app"};
inline QString downloadAddress()
{
    return siteAddress + QLatin1StringView("/Kelvora.dmg");
}
// The feedback mails' subjects, percent-encoded.
inline constexpr QLatin1StringView whatIlikedSubject{"?subject=What%20I%20liked..."};
inline constexpr QLatin1StringView mySuggestionsSubject{"?subject=My%20Suggestions..."};
inline constexpr QLatin1StringView problemsIhadSubject{"?subject=Problems%20I%20had..."};
// The update check's answers in the question dialog.
inline QString newerVersion()
{
    return QStringLiteral("A newer Version of Kelvora is available-") + EndOfLine + EndOfLine +
           QStringLiteral("Download?");
}
inline constexpr QLatin1StringView upToDate{"This version is up-to-date!"};
inline constexpr QLatin1StringView noConnection{"Make sure you have a Internet connection!"};
// The web search for a bookmark without an address; the encoded title follows.
inline constexpr QLatin1StringView webSearchAddress{"https://www.google.com/search?q="};
} // namespace Texts

// The dialogs' captions.
namespace DialogTexts
{
inline constexpr QLatin1StringView url{"URL:"};
inline constexpr QLatin1StringView title{"Title:"};
inline constexpr QLatin1StringView text{"Text:"};
inline constexpr QLatin1StringView ok{"OK"};
inline constexpr QLatin1StringView cancel{"Cancel"};
inline constexpr QLatin1StringView yes{"Yes"};
inline constexpr QLatin1StringView no{"No"};
} // namespace DialogTexts

// The bar: button names (also values of "CurrentBevelButton"), size words and menu items.
namespace BarTexts
{
inline constexpr QLatin1StringView Bookmarks{"Bookmarks"};
inline constexpr QLatin1StringView Typers{"Typers"};
inline constexpr QLatin1StringView Memos{"Memos"};
inline constexpr QLatin1StringView Max{"Max"};
inline constexpr QLatin1StringView Min{"Min"};
inline constexpr QLatin1StringView separator{"-"};
inline constexpr QLatin1StringView ShowAll{"Show All"};
inline constexpr QLatin1StringView Minimize{"Minimize"};
inline constexpr QLatin1StringView Expand{"Expand"};
inline constexpr QLatin1StringView Quit{"Quit"};
} // namespace BarTexts

// The menu bar: menu and item names (the Support handlers are bound to these) and texts.
namespace MenuTexts
{
inline constexpr QLatin1StringView EditMenu{"EditMenu"};
inline constexpr QLatin1StringView ViewMenu{"ViewMenu"};
inline constexpr QLatin1StringView SupportMenu{"SupportMenu"};
inline constexpr QLatin1StringView EditCut{"EditCut"};
inline constexpr QLatin1StringView EditCopy{"EditCopy"};
inline constexpr QLatin1StringView EditPaste{"EditPaste"};
inline constexpr QLatin1StringView UntitledSeparator1{"UntitledSeparator1"};
inline constexpr QLatin1StringView EditSelectAll{"EditSelectAll"};
inline constexpr QLatin1StringView SupportWhatIliked{"SupportWhatIliked"};
inline constexpr QLatin1StringView SupportMySuggestions{"SupportMySuggestions"};
inline constexpr QLatin1StringView SupportProblemsIhad{"SupportProblemsIhad"};
inline constexpr QLatin1StringView Separator2{"Separator2"};
inline constexpr QLatin1StringView SupportSite{"SupportSite"};
inline constexpr QLatin1StringView Separator3{"Separator3"};
inline constexpr QLatin1StringView SupportCheckforUpdate{"SupportCheckforUpdate"};

inline constexpr QLatin1StringView editText{"Edit"};
inline constexpr QLatin1StringView viewText{"View"};
inline constexpr QLatin1StringView supportText{"Support"};
inline constexpr QLatin1StringView cutText{"Cut"};
inline constexpr QLatin1StringView copyText{"Copy"};
inline constexpr QLatin1StringView pasteText{"Paste"};
inline constexpr QLatin1StringView selectAllText{"Select All"};
inline constexpr QLatin1StringView whatIlikedText{"What I liked..."};
inline constexpr QLatin1StringView mySuggestionsText{"My Suggestions..."};
inline constexpr QLatin1StringView problemsIhadText{"Problems I had..."};
// The host name of the product's web site.
inline constexpr QLatin1StringView siteHost{"kelvora.app"};
inline constexpr QLatin1StringView checkForUpdateText{"Check for Update...."};
} // namespace MenuTexts

inline constexpr qint64 secondsBetweenQuestions = 2592000; // 30 days
