#include "buttons/mybevelbutton.h"

#include "app/quitsignals.h"
#include "app/texts.h"
#include "buttons/entriesfilemodule.h"
#include "buttons/entrymenu.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

// The drop-down menu, built from the entries file as read at every press: the entries, the
// action items and the folder's other entries files.

namespace
{

QAction* separatorItem(QObject* owner)
{
    auto* item = new QAction(owner);
    item->setSeparator(true);
    return item;
}

QAction* actionItem(const QString& text, QObject* owner)
{
    auto* item = new QAction(text, owner);
    item->setData(QString(Texts::tagAction));
    return item;
}

// Says how many lines of the file the menu leaves out; it has no tag, so it is no entry, and
// cannot be chosen.
QAction* moreLinesItem(qsizetype count, QObject* owner)
{
    auto* item = new QAction(Texts::linesNotShown(count), owner);
    item->setEnabled(false);
    return item;
}

// Where an item shown with blanks for its TABs, or shortened, keeps its text as written.
constexpr char entryTextProperty[] = "entryText";

} // namespace

QAction* MyBevelButton::addSimpleMenuItem(const QString& line, int index, QObject* owner)
{
    auto* item = new QAction(owner);
    fillSimpleItem(item, line, index);
    return item;
}

void MyBevelButton::fillSimpleItem(QAction* item, const QString& line, int index)
{
    const QString text = line.trimmed();
    // Qt would start a right-aligned shortcut column at a TAB.
    item->setText(
        EntryMenu::bounded(QString(text).replace(QLatin1Char('\t'), QStringLiteral("    "))));
    item->setProperty(entryTextProperty, item->text() != text ? QVariant(text) : QVariant());
    item->setData(index);
}

QString MyBevelButton::entryText(const QAction* item)
{
    const QVariant text = item->property(entryTextProperty);
    return text.isValid() ? text.toString() : item->text();
}

QAction* MyBevelButton::addCompoundMenuItem(const QString& line, int index, QObject* owner)
{
    auto* item = new QAction(owner);
    fillCompoundItem(item, line, index);
    return item;
}

void MyBevelButton::fillCompoundItem(QAction* item, const QString& line, int index)
{
    const QStringList parts = line.split(QLatin1Char('\t'));
    const QString title = parts.first().trimmed();
    item->setText(EntryMenu::bounded(title));
    item->setProperty(entryTextProperty, item->text() != title ? QVariant(title) : QVariant());
    item->setData(index);
    QString address = parts.size() >= 2 ? parts.at(1).trimmed() : QString();
    if (address.isEmpty())
        address = Texts::webSearchAddress + QString::fromLatin1(QUrl::toPercentEncoding(title));
    item->setObjectName(address);
}

bool MyBevelButton::fillEntryItem(QAction* item, qsizetype i, int selected, bool bookmarks)
{
    const QString line = EntriesFileModule::decode(entriesFile.lines().at(i));
    const int index = static_cast<int>(i);
    bool separator = line.trimmed().isEmpty();
    if (separator) {
        // A blank line: a separator without a tag.
        item->setText(QString());
        item->setData(QVariant());
        item->setProperty(entryTextProperty, QVariant());
        item->setObjectName(QString());
    } else {
        if (bookmarks)
            fillCompoundItem(item, line, index);
        else
            fillSimpleItem(item, line, index);
        // An entry that reads "-" shows as a separator line; it keeps its tag.
        if (item->text() == QLatin1String("-")) {
            item->setText(QString());
            separator = true;
        }
    }
    item->setSeparator(separator);
    const bool checked = !separator && index == selected;
    setCheckMark(item, checked);
    return checked;
}

void MyBevelButton::buildMenu()
{
    // A quit asked for meanwhile: the menu shown last stays, and none is shown.
    if (!setMenuEntries(ReadFor::Press))
        return;

    int selected = -1;
    const auto recorded = menuTagsByMd5.constFind(menuMd5);
    if (recorded != menuTagsByMd5.cend()) {
        selected = *recorded;
    } else {
        const QVariant storedMd5 = getPreference(Keys::MenuAsMd5);
        if (menuMd5 != (storedMd5.isNull() ? QString() : storedMd5.toString())) {
            menuTagsByMd5.insert(menuMd5, -1);
        } else {
            // The text held at the last quit: its stored selection counts until an entry is
            // chosen, so nothing is recorded here.
            const QVariant storedTag = getPreference(Keys::MenuItemTag);
            if (!storedTag.isNull())
                selected = storedTag.toInt();
        }
    }

    // A menu built from the same lines, offering the same files, is shown again as it is: only
    // its check mark may move. Laying out a long menu costs more than building it.
    const QStringList fileItems = folderFileItems();
    if (menuEditItem && fileItems == menuFileItems) {
        if (menuRevision == entriesFile.revision()) {
            moveCheckMark(selected);
            return;
        }
        if (refillMenu(selected))
            return;
    }

    // The old menu goes before the new one is built, so two never live at once.
    delete entryMenu;
    entryMenu = nullptr;

    auto* menu = new EntryMenu(this);
    const bool bookmarks = kind == Kind::Bookmarks;
    const qsizetype shown = qMin(entriesFile.lines().size(), menuEntryLimit);
    QList<QAction*> items;
    items.reserve(shown + 6);
    QAction* checked = nullptr;
    for (qsizetype i = 0; i < shown; ++i) {
        // A quit signal reaches the event loop only once the press is over: it comes first.
        if (i % 512 == 0 && quitSignalPending()) {
            dropUnfinishedMenu(menu);
            return;
        }
        auto* item = new QAction(menu);
        if (fillEntryItem(item, i, selected, bookmarks))
            checked = item;
        items << item;
    }
    menuMoreItem = nullptr;
    if (shown < entriesFile.lines().size()) {
        menuMoreItem = moreLinesItem(entriesFile.lines().size() - shown, menu);
        items << menuMoreItem;
    }
    items << separatorItem(menu);
    // Offered only while an entry of this menu carries the check mark, so that a recorded
    // index that checks nothing never offers a delete.
    menuDeleteItem = checked ? actionItem(Texts::deleteMenuItem, menu) : nullptr;
    if (menuDeleteItem)
        items << menuDeleteItem;
    menuEditItem = actionItem(Texts::editMenu, menu);
    items << menuEditItem;
    items << actionItem(Texts::chooseFile, menu);
    appendFileItems(menu, fileItems, items);
    // Filled from the end, each item before the previous one: Qt looks for the item it is
    // told to insert before from the start of the list, so this halves the cost that grows
    // with the square of the lines (Qt also looks for the new item itself, end to end).
    QAction* next = nullptr;
    for (auto it = items.crbegin(); it != items.crend(); ++it) {
        if ((items.crend() - it) % 512 == 0 && quitSignalPending()) {
            dropUnfinishedMenu(menu);
            return;
        }
        menu->insertAction(next, *it);
        next = *it;
    }

    connect(menu, &QMenu::triggered, this, &MyBevelButton::Event_MenuSelected);
    setMenu(menu);
    entryMenu = menu;
    menuRevision = entriesFile.revision();
    menuFileItems = fileItems;
    menuEntryCount = shown;
    if (checked)
        setMenuCurrentIndex(selected);
}

void MyBevelButton::dropUnfinishedMenu(QMenu* menu)
{
    delete menu;
    entryMenu = new EntryMenu(this);
    setMenu(entryMenu);
    menuEditItem = nullptr;
    menuEntryCount = 0;
}

void MyBevelButton::tellLinesNotShown(qsizetype count, QAction* before)
{
    if (count > 0 && menuMoreItem) {
        menuMoreItem->setText(Texts::linesNotShown(count));
    } else if (count > 0) {
        menuMoreItem = moreLinesItem(count, entryMenu);
        entryMenu->insertAction(before, menuMoreItem);
    } else {
        delete menuMoreItem;
    }
}

void MyBevelButton::moveCheckMark(int selected)
{
    QAction* wanted = nullptr;
    if (selected >= 0 && selected < menuEntryCount) {
        // Entry items come first in the menu, one for each line, in order.
        QAction* item = entryMenu->actions().at(selected);
        if (!item->isSeparator())
            wanted = item;
    }
    // The one entry checked in the shown menu is the current item, when it belongs to it.
    QAction* shown = shownCurrentItem();
    if (wanted != shown) {
        if (shown)
            setCheckMark(shown, false);
        if (wanted) {
            setCheckMark(wanted, true);
            setMenuCurrentIndex(selected);
        }
    }
    offerDelete(wanted != nullptr);
}

void MyBevelButton::offerDelete(bool offered)
{
    if (offered && !menuDeleteItem) {
        menuDeleteItem = actionItem(Texts::deleteMenuItem, entryMenu);
        entryMenu->insertAction(menuEditItem, menuDeleteItem);
    } else if (!offered && menuDeleteItem) {
        delete menuDeleteItem;
    }
}

bool MyBevelButton::refillMenu(int selected)
{
    // Qt searches the whole menu for every item added or removed: beyond a few, a new menu
    // costs less.
    constexpr qsizetype fewItems = 64;
    const qsizetype count = qMin(entriesFile.lines().size(), menuEntryLimit);
    if (qAbs(count - menuEntryCount) > fewItems)
        return false;
    const QList<QAction*> shown = entryMenu->actions();
    const bool bookmarks = kind == Kind::Bookmarks;
    // The item telling how many lines are not shown, or the separator after the entries.
    QAction* afterEntries = shown.at(menuEntryCount);
    for (qsizetype i = count; i < menuEntryCount; ++i)
        delete shown.at(i);
    // Items whose text stays as it was cost nothing more: Qt lays the menu out again only
    // when an item changed.
    QAction* checked = nullptr;
    for (qsizetype i = 0; i < count; ++i) {
        QAction* item = i < menuEntryCount ? shown.at(i) : new QAction(entryMenu);
        if (fillEntryItem(item, i, selected, bookmarks))
            checked = item;
        if (i >= menuEntryCount)
            entryMenu->insertAction(afterEntries, item);
    }
    tellLinesNotShown(entriesFile.lines().size() - count, afterEntries);
    offerDelete(checked != nullptr);
    menuRevision = entriesFile.revision();
    menuEntryCount = count;
    if (checked)
        setMenuCurrentIndex(selected);
    return true;
}

QStringList MyBevelButton::folderFileItems()
{
    if (menuFolderItemFolder.isEmpty())
        return {};
    const QFileInfo folder(menuFolderItemFolder);
    if (!folder.isDir())
        return {};
    if (!folder.isReadable() || !folder.isExecutable()) {
        const QString message =
            QStringLiteral("Kelvora cannot list the folder %1: permission denied.")
                .arg(menuFolderItemFolder);
        if (message != lastFolderProblem) {
            lastFolderProblem = message;
            reportProblem(message);
        }
        return {};
    }
    lastFolderProblem.clear();

    // Files only: a sub-folder whose name looks like an entries file is left out, since it
    // cannot be read as one.
    const QString current = QFileInfo(entriesFile.path()).fileName();
    const QFileInfoList files =
        QDir(menuFolderItemFolder).entryInfoList(QDir::Files | QDir::Hidden, QDir::Name);
    QStringList paths;
    for (const QFileInfo& file : files) {
        // The names a drop accepts: ending in .txt or .tab, not merely holding it (an archive
        // named notes.txt.gz would be written over as an entries file).
        if (file.fileName() != current && validateFile(file.filePath()))
            paths << QDir::toNativeSeparators(file.absoluteFilePath());
    }
    return paths;
}

void MyBevelButton::appendFileItems(QMenu* menu, const QStringList& paths, QList<QAction*>& items)
{
    if (!paths.isEmpty())
        items << separatorItem(menu);
    for (const QString& path : paths) {
        auto* item = new QAction(QFileInfo(path).fileName(), menu);
        item->setData(QString(Texts::tagFile));
        item->setObjectName(path);
        items << item;
    }
}
