#pragma once

// One entry button of the bar (Bookmarks, Typers or Memos): it owns an entries file, drops
// down that file's lines as its menu, acts on a chosen entry by its kind, and takes dropped
// text, files and folders.

#include "buttons/entriesfile.h"

#include <QAction>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QToolButton>
#include <QVariant>

#include <optional>

class QDropEvent;
class QMenu;
class QMimeData;
class QStyleOptionToolButton;
class Typer;

class MyBevelButton : public QToolButton
{
    Q_OBJECT
public:
    // The control name ("Bookmarks", "Typers", "Memos") decides the kind, the preference keys
    // and the default entries file.
    explicit MyBevelButton(const QString& controlName, QWidget* parent = nullptr);
    ~MyBevelButton() override;

    // The seven handlers; Qt's event overrides only forward to them.
    void Event_Open();
    bool Event_MouseDown(int x, int y);
    void Event_MenuSelected(QAction* item);
    bool Event_DragEnter(const QMimeData* item, int action);
    void Event_DragExit(const QMimeData* item, int action);
    void Event_DropObject(const QMimeData* item, int action);
    void Event_Close();

    // Inserts one entry line (from a dialog's OK button or a text drop) and writes the file;
    // false when it could not be written (the user has been told, and the lines are as they
    // were).
    bool insertMenuItem(const QString& entryLine);
    // Writes the entries file, drops the selection and sets the caption; false when the file
    // could not be written (the user has been told).
    bool updateMenu(const QString& caption);
    // Removes the line of the entry that carries the check mark in the menu now shown.
    void deleteMenuItem();

    // The button's own keys in the preferences store: control name + suffix.
    void setPreference(const QString& suffix, const QVariant& value);
    QVariant getPreference(const QString& suffix) const;
    void removePreference(const QString& suffix);

    // Choosing and writing the entries file.
    static bool validateFile(const QString& path);
    void initFolderItem();
    void getFolderItem();
    bool saveFolderItem();
    void checkFolderItemExists();
    // Why the entries file is read: on opening or switching files, for a press, which gives way
    // to a quit signal, or for an edit, which shows a read failure itself (others show it here,
    // once).
    enum class ReadFor { Open, Press, Edit };
    // False when a quit signal cut the read of a press or a start short; the lines held are
    // then as they were.
    bool setMenuEntries(ReadFor why = ReadFor::Open);
    // The longest entries text kept as the "MenuString" copy, in bytes.
    static constexpr qsizetype storedCopyLimit = 1024 * 1024;

    // The menu, from the file as read at every press: built again when its lines or the
    // folder's files changed since, else shown as it was with the check mark moved.
    void buildMenu();
    // The most entry items a menu shows: the first lines of a longer file, then one disabled
    // item telling how many more it holds. Qt adds each item to a menu in a time that grows
    // with the items already there, so this bounds the time of a press, and its memory.
    static constexpr qsizetype menuEntryLimit = 20000;
    // Item makers: one entries-file line (decoded) and its index give one item owned by owner;
    // the fill forms make an existing item show them.
    static QAction* addSimpleMenuItem(const QString& line, int index, QObject* owner);
    static QAction* addCompoundMenuItem(const QString& line, int index, QObject* owner);
    static void fillSimpleItem(QAction* item, const QString& line, int index);
    static void fillCompoundItem(QAction* item, const QString& line, int index);
    // An entry item's text as the entries file holds it, TABs included (the menu shows them as
    // blank space).
    static QString entryText(const QAction* item);

    // Bookmark and memo actions.
    void doBookmark(QAction* item);
    void doMemo(QAction* item);

    // Typers: expansion and typing of a chosen entry. A snippet that cannot be run is told to
    // the user and gives an empty text.
    void doTyper(QAction* item);
    QString typeShortcut(const QString& token);
    QString typeShell(const QString& command);
    QString typePhp(const QString& code);
    QString executePhpFromFile(const QString& code);
    QString typeJavaScript(const QString& code);

    // Inverts the pressed look while an acceptable item is dragged over the button.
    void toggle();

    // The folder that holds Kelvora.app, where the default entries files live. Tests and the
    // benchmark point it at a folder of their own.
    static QString bundleParentFolder();
    static void setBundleParentFolder(const QString& folder);

    // The entries file's native path, and its lines as bytes.
    const QString& menuFilePath() const { return entriesFile.path(); }
    const QList<QByteArray>& menuEntries() const { return entriesFile.lines(); }
    // The folder whose other entries files the menu offers.
    void setMenuFolderItemFolder(const QString& folder) { menuFolderItemFolder = folder; }
    // Where insertMenuItem puts the next line: before line index when the Shift or Alt
    // (Option) key was held at the choice or drop (altKey), else after the last line.
    void setInsertion(bool altKey, qint64 index);

signals:
    // The entry dialogs open here: the bookmark dialog for an Option-chosen bookmark or text
    // dropped on Bookmarks, the text dialog for an Option-chosen typer or memo. The dialogs
    // call insertMenuItem when the user confirms.
    void bookmarkDialogRequested(const QString& text);
    void textDialogRequested(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void initStyleOption(QStyleOptionToolButton* option) const override;

private:
    // What a drag carries, as the button judges it: a local file or folder named by a URL list
    // counts as that file or folder, any other drag with text as text.
    struct DragItem {
        QString text;
        QString path;
        bool hasText = false;
        bool hasFile = false;
    };
    static DragItem dragItemOf(const QMimeData* item);
    static void acceptAsCopy(QDropEvent* event, bool accepted);

    // The kind, told once from the control name by the word it holds (in any letter case).
    enum class Kind { Bookmarks, Typers, Memos, Other };
    static Kind kindOf(const QString& controlName);
    // The typer's side effects, handed the application's platform and typing script.
    Typer typer() const;
    void setMenuCurrentIndex(int index);
    // The entry item of the shown menu that carries the check mark as the current one, if any.
    QAction* shownCurrentItem() const;
    // Forgets which line was selected, its check mark included (the lines or file changed).
    void forgetSelection();
    void setCheckMark(QAction* item, bool checked);
    void openBookmarkDialog(const QString& text);
    void openTextDialog(const QString& text);
    QString fileCaption() const;
    // Digest of the lines held, joined by LF.
    QString entriesMd5() const;
    // The folder's other entries files (native paths), offered after the action items.
    QStringList folderFileItems();
    static void appendFileItems(QMenu* menu, const QStringList& paths, QList<QAction*>& items);
    void moveCheckMark(int selected);
    // Makes the item show line i of the entries as a new menu would (a bookmark's when
    // bookmarks); true when it is the checked entry.
    bool fillEntryItem(QAction* item, qsizetype i, int selected, bool bookmarks);
    // Makes the shown menu show the entries held now, its items reused; false when so many
    // lines came or went that a new menu costs less.
    bool refillMenu(int selected);
    void offerDelete(bool offered);
    // Shows, after the entry items before, how many lines the menu leaves out (none: no item).
    void tellLinesNotShown(qsizetype count, QAction* before);
    // Drops a menu whose build a quit signal cut short; the next press builds it afresh.
    void dropUnfinishedMenu(QMenu* menu);
    void reportProblem(const QString& text);
    // Reads the file again before an edit; false, told to the user, when it cannot be edited.
    bool makeEntriesCurrent(const QString& what);
    // Keeps the entries text as the "MenuString" copy, or drops the copy.
    void storeCopy(const QByteArray& text, bool writable);
    bool canTakeFile(const QString& path);

    const Kind kind;
    EntriesFile entriesFile;
    // Whether the item dragged over the button now is acceptable.
    bool dragItemIsValid = false;
    // The line index of the entry that last received the check mark; -1 once the lines or the
    // file changed since; none before any entry was selected. It outlives the menu it was
    // chosen in: it is what counts at quit.
    std::optional<int> menuCurrentIndex;
    // Digest of an entries text -> line index selected in that text (-1 for none).
    QHash<QString, int> menuTagsByMd5;
    // Digest of the entries text as last loaded.
    QString menuMd5;
    // The folder whose other text files the menu offers; empty while none is set.
    QString menuFolderItemFolder;
    // Whether Shift or Alt (the Option key) was held at the last entry choice or text drop.
    bool isAltKey = false;
    // Line index before which insertMenuItem inserts while isAltKey is true.
    qint64 menuInsertionIndex = 0;
    QMenu* entryMenu = nullptr;
    // The entries file's revision the shown menu was built at.
    quint64 menuRevision = 0;
    // What else the shown menu was built from: the files it offers; its delete item, there
    // while one of its entries carries the check mark, goes before its edit item.
    QStringList menuFileItems;
    QPointer<QAction> menuDeleteItem;
    QPointer<QAction> menuEditItem;
    // Its entry items, one for each line shown, first in the menu; the item telling how many
    // lines are not shown follows them while there are such lines.
    qsizetype menuEntryCount = 0;
    QPointer<QAction> menuMoreItem;
    // The lines as they were when an entry was chosen with the Option key: the confirmed line
    // goes before that entry wherever it stands by then. Empty after a text drop, whose line
    // goes first.
    QList<QByteArray> menuInsertionLines;
    // The last read failures shown, so that every press does not show them again.
    QString lastReadProblem;
    QString lastFolderProblem;
    // The entries text as last read, and the revision of the lines it was split into.
    QByteArray readText;
    quint64 readTextRevision = 0;
    // Digest of the text last stored as the "MenuString" copy.
    QString storedTextMd5;
    // Digest of the entries text in which menuCurrentIndex was selected: at quit its tag is
    // stored only for that text, never for another file's lines.
    QString menuCurrentItemMd5;
    static QString bundleParentOverride;
};
