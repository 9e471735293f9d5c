#include "buttons/mybevelbutton.h"

#include "app/app.h"
#include "app/folderitemmodule.h"
#include "app/quitsignals.h"
#include "app/stringmodule.h"
#include "app/texts.h"
#include "buttons/entriesfilemodule.h"
#include "buttons/entrymenu.h"

#include <QDir>
#include <QFileInfo>

// Finding, reading, choosing and writing the entries file. A file that exists but cannot be
// read is never written over: only a missing file is written again from the "MenuString" copy.

void MyBevelButton::checkFolderItemExists()
{
    const QVariant stored = getPreference(Keys::File);
    entriesFile.setPath(stored.isNull() ? QString() : stored.toString());
    if (entriesFile.path().isEmpty()) {
        entriesFile.setPath(QDir::toNativeSeparators(bundleParentFolder() + QLatin1Char('/') +
                                                     objectName() + QStringLiteral(".txt")));
    }
}

bool MyBevelButton::setMenuEntries(ReadFor why)
{
    const QFileInfo info(entriesFile.path());
    QByteArray text;
    QString digest;
    // A quit asked for during the read of a press or a start comes first: the lines held stay
    // as they were.
    const auto quitFirst = [why] { return why != ReadFor::Edit && quitSignalPending(); };
    if (info.exists() || info.isSymLink()) {
        QString problem;
        if (!FolderItemModule::readFile(entriesFile.path(), &text, &problem)) {
            entriesFile.readFailed();
            // Shown once per failure, not at every press that meets it again.
            const QString message =
                QStringLiteral("Kelvora could not read the entries file %1 (%2). The file was "
                               "left as it is; its entries show again once it can be read.")
                    .arg(entriesFile.path(), problem);
            if (message != lastReadProblem) {
                lastReadProblem = message;
                if (why != ReadFor::Edit)
                    reportProblem(message);
            }
            return true;
        }
        lastReadProblem.clear();
        if (quitFirst())
            return false;
        // A file that cannot be written back as read is shown as well as it can be read, and
        // its text is that shown.
        const QString unwritable = EntriesFileModule::writeBackProblem(text);
        if (!unwritable.isEmpty())
            text = EntriesFileModule::readableBytes(text);
        text = EntriesFileModule::normalizeLineEnds(std::move(text));
        // Whether the lines held are those of the text read last: comparing the texts then
        // tells whether the lines changed, which saves splitting, comparing and digesting the
        // lines of a long file at every press.
        const bool heldAsRead = entriesFile.isRead() && entriesFile.revision() == readTextRevision;
        if (heldAsRead && text == readText && !text.isEmpty()) {
            digest = menuMd5;
        } else {
            if (quitFirst())
                return false;
            QList<QByteArray> lines = EntriesFileModule::splitLines(
                text, why == ReadFor::Edit ? nullptr : quitSignalPending);
            if (quitFirst())
                return false;
            digest = StringModule::asMd5(text);
            if (quitFirst())
                return false;
            // The copy is stored again only when the text differs from the one stored last.
            if (digest != storedTextMd5) {
                storeCopy(text, unwritable.isEmpty());
                storedTextMd5 = digest;
            }
            // The menu shown stays valid for a delete while the file reads as it did.
            if (heldAsRead) {
                entriesFile.setLines(std::move(lines));
                entriesFile.markRead();
            } else {
                entriesFile.takeRead(std::move(lines));
            }
            readText = text;
            readTextRevision = entriesFile.revision();
        }
        entriesFile.setWriteBackProblem(unwritable);
    } else {
        lastReadProblem.clear();
        entriesFile.setWriteBackProblem(QString());
        const QVariant copy = getPreference(Keys::MenuString);
        text = copy.isNull() ? QByteArray() : EntriesFileModule::fromStoredText(copy.toString());
        entriesFile.setLines(EntriesFileModule::splitLines(text));
        saveFolderItem();
        entriesFile.markRead();
    }

    if (text.isEmpty()) {
        setText(Texts::noEntriesCaption);
        return true;
    }
    menuMd5 = digest.isEmpty() ? StringModule::asMd5(text) : digest;
    if (kind == Kind::Memos) {
        const QVariant tag = getPreference(Keys::MenuItemTag);
        bool isNumber = false;
        const qint64 index = tag.isNull() ? -1 : tag.toLongLong(&isNumber);
        if (isNumber && index >= 0 && index < entriesFile.lines().size())
            setText(EntryMenu::bounded(EntriesFileModule::decode(entriesFile.lines().at(index))));
    }
    return true;
}

void MyBevelButton::storeCopy(const QByteArray& text, bool writable)
{
    // The preferences stay small whatever the file's size, and a file that cannot be written
    // back as read is never written from a copy: a copy kept from an earlier text goes too.
    if (writable && text.size() <= storedCopyLimit)
        setPreference(Keys::MenuString, EntriesFileModule::toStoredText(text));
    else
        removePreference(Keys::MenuString);
}

QString MyBevelButton::entriesMd5() const
{
    // While the lines held are those of the text read last, that text's digest: a long file
    // is not joined and digested again at quit.
    if (entriesFile.isRead() && entriesFile.revision() == readTextRevision && !readText.isEmpty())
        return menuMd5;
    return StringModule::asMd5(EntriesFileModule::joinLines(entriesFile.lines()));
}

bool MyBevelButton::validateFile(const QString& path)
{
    return FolderItemModule::hasExtension(path, QStringLiteral("txt")) ||
           FolderItemModule::hasExtension(path, QStringLiteral("tab"));
}

QString MyBevelButton::fileCaption() const
{
    return StringModule::regExReplaceAll(QStringLiteral("\\.[^\\.]+$"), QString(),
                                         QFileInfo(entriesFile.path()).fileName(), false);
}

bool MyBevelButton::canTakeFile(const QString& path)
{
    // A dropped file must be there to be read: a missing one (deleted since the hover) would be
    // written again from this button's copy of the file it used until now, folder and all.
    const QString reason = FolderItemModule::notAFileReason(path);
    if (reason.isEmpty())
        return true;
    reportProblem(
        QStringLiteral("Kelvora did not take %1 as the entries file: %2.").arg(path, reason));
    return false;
}

void MyBevelButton::initFolderItem()
{
    setText(fileCaption());
    setToolTip(Texts::dropHint);
    if (!entriesFile.lines().isEmpty() && menuCurrentIndex) {
        // The selection is recorded for the text being left only when it was made in that
        // text; an item kept from another file's menu would check a line never chosen here.
        const QString leftMd5 = entriesMd5();
        menuTagsByMd5.insert(leftMd5, menuCurrentItemMd5 == leftMd5 ? *menuCurrentIndex : -1);
        // The new file is read at the next press, or before anything is written to it.
        entriesFile.markUnread();
    } else {
        setMenuEntries();
    }
}

void MyBevelButton::getFolderItem()
{
    // Opens where the current entries file lies, not in the process's working folder.
    const QString chosen = App::instance()->platform().chooseOpenFile(
        Texts::chooseFileCaption, Texts::entriesFileFilter,
        QFileInfo(entriesFile.path()).absolutePath());
    if (chosen.isEmpty())
        return;
    if (QFileInfo(chosen).isDir()) {
        reportProblem(
            QStringLiteral("%1 is a folder, not an entries file. Choose a .txt or .tab file.")
                .arg(chosen));
        return;
    }
    forgetSelection();
    entriesFile.setPath(QDir::toNativeSeparators(chosen));
    initFolderItem();
}

bool MyBevelButton::saveFolderItem()
{
    const QFileInfo info(entriesFile.path());
    if (!info.exists() && !info.isSymLink()) {
        const QString folder = info.absolutePath();
        if (!QDir().mkpath(folder)) {
            reportProblem(QStringLiteral("Kelvora could not write the entries file %1: the "
                                         "folder %2 could not be created.")
                              .arg(entriesFile.path(), folder));
            return false;
        }
    }
    QString error;
    if (!App::instance()->writeFile(entriesFile.path(),
                                    EntriesFileModule::joinLines(entriesFile.lines()), &error)) {
        reportProblem(QStringLiteral("Kelvora could not write the entries file %1 (%2). The file "
                                     "was left as it was.")
                          .arg(entriesFile.path(), error));
        return false;
    }
    return true;
}

bool MyBevelButton::makeEntriesCurrent(const QString& what)
{
    // An edit works on the file as it is now, not as it was last read: it may have been changed
    // outside since (in the editor that "Edit Menu..." opens). A file gone since is written
    // again from the lines held.
    const QFileInfo info(entriesFile.path());
    if (entriesFile.isRead() && entriesFile.writeBackProblem().isEmpty() && !info.exists() &&
        !info.isSymLink())
        return true;
    // One message for both the failed read and the edit it stops.
    setMenuEntries(ReadFor::Edit);
    if (!entriesFile.isRead()) {
        reportProblem(QStringLiteral("The entry could not be %1, since Kelvora does not write "
                                     "over a file it could not read. %2")
                          .arg(what, lastReadProblem));
        return false;
    }
    if (!entriesFile.writeBackProblem().isEmpty()) {
        reportProblem(Texts::editRefused(what, entriesFile.path(), entriesFile.writeBackProblem()));
        return false;
    }
    return true;
}
