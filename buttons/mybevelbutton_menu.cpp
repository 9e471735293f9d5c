#include "buttons/mybevelbutton.h"

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

// Where an item shown with blanks for its TABs keeps its text as written.
constexpr char entryTextProperty[] = "entryText";

} // namespace

QAction* MyBevelButton::addSimpleMenuItem(const QString& line, int index, QObject* owner)
{
    const QString text = line.trimmed();
    // Qt would start a right-aligned shortcut column at a TAB.
    auto* item =
        new QAction(QString(text).replace(QLatin1Char('\t'), QStringLiteral("    ")), owner);
    if (text.contains(QLatin1Char('\t')))
        item->setProperty(entryTextProperty, text);
    item->setData(index);
    return item;
}

QString MyBevelButton::entryText(const QAction* item)
{
    const QVariant text = item->property(entryTextProperty);
    return text.isValid() ? text.toString() : item->text();
}

QAction* MyBevelButton::addCompoundMenuItem(const QString& line, int index, QObject* owner)
{
    const QStringList parts = line.split(QLatin1Char('\t'));
    auto* item = new QAction(parts.first().trimmed(), owner);
    item->setData(index);
    QString address = parts.size() >= 2 ? parts.at(1).trimmed() : QString();
    if (address.isEmpty())
        address =
            Texts::webSearchAddress + QString::fromLatin1(QUrl::toPercentEncoding(item->text()));
    item->setObjectName(address);
    return item;
}

void MyBevelButton::buildMenu()
{
    setMenuEntries();

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
    if (entryMenu && menuRevision == entriesRevision && fileItems == menuFileItems) {
        moveCheckMark(selected);
        return;
    }

    // The selected item may belong to the menu that is replaced now; the button keeps it. The
    // old menu goes before the new one is built, so two never live at once.
    if (menuCurrentItem && menuCurrentItem->parent() == entryMenu)
        menuCurrentItem->setParent(this);
    delete entryMenu;
    entryMenu = nullptr;

    auto* menu = new EntryMenu(this);
    const bool bookmarks = isKind(QStringLiteral("book"));
    QList<QAction*> items;
    items.reserve(menuEntries.size() + 4);
    QAction* checked = nullptr;
    for (qsizetype i = 0; i < menuEntries.size(); ++i) {
        const QString line = EntriesFileModule::decode(menuEntries.at(i));
        if (line.trimmed().isEmpty()) {
            items << separatorItem(menu);
            continue;
        }
        const int index = static_cast<int>(i);
        QAction* item = bookmarks ? addCompoundMenuItem(line, index, menu)
                                  : addSimpleMenuItem(line, index, menu);
        if (item->text() == QLatin1String("-")) {
            // An entry that reads "-" shows as a separator line; it keeps its tag.
            item->setText(QString());
            item->setSeparator(true);
        } else if (selected >= 0 && index == selected) {
            setCheckMark(item, true);
            checked = item;
        }
        items << item;
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
        menu->insertAction(next, *it);
        next = *it;
    }

    connect(menu, &QMenu::triggered, this, &MyBevelButton::Event_MenuSelected);
    setMenu(menu);
    entryMenu = menu;
    menuRevision = entriesRevision;
    menuFileItems = fileItems;
    if (checked)
        setMenuCurrentItem(checked);
}

void MyBevelButton::moveCheckMark(int selected)
{
    QAction* wanted = nullptr;
    if (selected >= 0 && selected < menuEntries.size()) {
        // Entry items come first in the menu, one for each line, in order.
        QAction* item = entryMenu->actions().at(selected);
        if (!item->isSeparator())
            wanted = item;
    }
    // The one entry checked in the shown menu is the current item, when it belongs to it.
    QAction* shown =
        menuCurrentItem && menuCurrentItem->parent() == entryMenu && menuCurrentItem->isChecked()
            ? menuCurrentItem.data()
            : nullptr;
    if (wanted != shown) {
        if (shown)
            setCheckMark(shown, false);
        if (wanted) {
            setCheckMark(wanted, true);
            setMenuCurrentItem(wanted);
        }
    }
    if (wanted && !menuDeleteItem) {
        menuDeleteItem = actionItem(Texts::deleteMenuItem, entryMenu);
        entryMenu->insertAction(menuEditItem, menuDeleteItem);
    } else if (!wanted && menuDeleteItem) {
        delete menuDeleteItem;
    }
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
    const QString current = QFileInfo(menuFolderItemFile).fileName();
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
