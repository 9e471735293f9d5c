#include "buttons/mybevelbutton.h"

#include "app/stringmodule.h"
#include "app/texts.h"
#include "buttons/entriesfilemodule.h"
#include "buttons/entrymenu.h"

#include <QMenu>

// Adding and removing entries. Each edit writes the entries file at once; a failed write
// leaves the file and the lines held in memory as they were.

void MyBevelButton::setInsertion(bool altKey, qint64 index)
{
    isAltKey = altKey;
    menuInsertionIndex = index;
    menuInsertionLines.clear();
}

bool MyBevelButton::insertMenuItem(const QString& entryLine)
{
    // After a switch of files the lines held may still be the previous file's: read the new
    // file first, so that they are never written into it.
    if (!makeEntriesCurrent(QStringLiteral("added")))
        return false;
    const QList<QByteArray> before = entriesFile.lines();
    QList<QByteArray> lines = before;
    qsizetype at = lines.size();
    if (isAltKey) {
        // Before the entry chosen, where it stands now that the file may have been changed
        // outside; a chosen line gone since leaves the index it had.
        const qsizetype moved =
            menuInsertionLines.isEmpty()
                ? -1
                : EntriesFileModule::followLine(menuInsertionLines, menuInsertionIndex, lines);
        // An index recorded before the file was shortened elsewhere appends.
        if (moved >= 0)
            at = moved;
        else if (menuInsertionIndex >= 0 && menuInsertionIndex <= lines.size())
            at = menuInsertionIndex;
    }
    lines.insert(at, entryLine.toUtf8());
    entriesFile.setLines(std::move(lines));
    if (!updateMenu(entryLine)) {
        entriesFile.setLines(before);
        return false;
    }
    return true;
}

bool MyBevelButton::updateMenu(const QString& caption)
{
    if (!saveFolderItem())
        return false;
    forgetSelection();
    if (entriesFile.lines().isEmpty())
        setText(Texts::noEntriesCaption);
    else if (kind == Kind::Memos)
        setText(caption.isEmpty() ? objectName() : EntryMenu::bounded(caption));
    else
        setText(fileCaption());
    return true;
}

void MyBevelButton::deleteMenuItem()
{
    // Only the entry that carries the check mark in the menu built from the lines held now:
    // an item of an earlier menu, or a recorded index that checked nothing, removes nothing.
    if (!entriesFile.isRead() || !shownCurrentItem() || menuRevision != entriesFile.revision())
        return;
    const int index = *menuCurrentIndex;
    if (index >= entriesFile.lines().size())
        return;
    const QList<QByteArray> shown = entriesFile.lines();
    if (!makeEntriesCurrent(QStringLiteral("removed")))
        return;
    // Lines added or removed outside since the menu was built move the chosen line: it is
    // removed where it stands now, or not at all once gone.
    const qsizetype at = EntriesFileModule::followLine(shown, index, entriesFile.lines());
    if (at < 0) {
        reportProblem(
            QStringLiteral("\"%1\" was not removed: the entries file %2 was changed "
                           "outside Kelvora and no longer holds it.")
                .arg(EntriesFileModule::decode(shown.at(index)).trimmed(), entriesFile.path()));
        return;
    }
    const QList<QByteArray> before = entriesFile.lines();
    QList<QByteArray> lines = before;
    lines.removeAt(at);
    entriesFile.setLines(std::move(lines));
    if (!updateMenu(QString()))
        entriesFile.setLines(before);
}
