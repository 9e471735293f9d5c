#include "buttons/mybevelbutton.h"

#include "app/app.h"
#include "app/bundleresources.h"
#include "app/quitsignals.h"
#include "app/stringmodule.h"
#include "app/texts.h"
#include "buttons/entriesfilemodule.h"
#include "buttons/entrymenu.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyleOptionToolButton>
#include <QUrl>

// The button's life: opening and closing with its preferences, the press that rebuilds the
// menu, the dispatch of a chosen item, and drops.

QString MyBevelButton::bundleParentOverride;

MyBevelButton::MyBevelButton(const QString& controlName, QWidget* parent)
    : QToolButton(parent), kind(kindOf(controlName))
{
    setObjectName(controlName);
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // An empty menu until the first press, so the button looks like the menu button it is.
    entryMenu = new EntryMenu(this);
    setMenu(entryMenu);
}

MyBevelButton::~MyBevelButton() = default;

QString MyBevelButton::bundleParentFolder()
{
    if (!bundleParentOverride.isEmpty())
        return bundleParentOverride;
    return QDir::cleanPath(BundleResources::bundlePath() + QStringLiteral("/.."));
}

void MyBevelButton::setBundleParentFolder(const QString& folder)
{
    bundleParentOverride = folder;
}

MyBevelButton::Kind MyBevelButton::kindOf(const QString& controlName)
{
    if (controlName.contains(QLatin1String("book"), Qt::CaseInsensitive))
        return Kind::Bookmarks;
    if (controlName.contains(QLatin1String("typ"), Qt::CaseInsensitive))
        return Kind::Typers;
    if (controlName.contains(QLatin1String("mem"), Qt::CaseInsensitive))
        return Kind::Memos;
    return Kind::Other;
}

void MyBevelButton::setPreference(const QString& suffix, const QVariant& value)
{
    App::instance()->Preferences().Set(objectName() + suffix, value);
}

QVariant MyBevelButton::getPreference(const QString& suffix) const
{
    return App::instance()->Preferences().Get(objectName() + suffix);
}

void MyBevelButton::removePreference(const QString& suffix)
{
    App::instance()->Preferences().Remove(objectName() + suffix);
}

void MyBevelButton::reportProblem(const QString& text)
{
    App::instance()->platform().showMessage(Texts::appName, text);
}

void MyBevelButton::Event_Open()
{
    setAcceptDrops(true);
    menuTagsByMd5.clear();
    checkFolderItemExists();
    const QVariant folder = getPreference(Keys::Folder);
    if (!folder.isNull() && !folder.toString().isEmpty())
        menuFolderItemFolder = folder.toString();
    initFolderItem();
}

void MyBevelButton::Event_Close()
{
    setPreference(Keys::File, entriesFile.path());
    const QString currentMd5 = entriesMd5();
    // A quit that cut the start's read short leaves the digest of the file's text as it was.
    if (entriesFile.revision() != 0)
        setPreference(Keys::MenuAsMd5, currentMd5);
    if (!menuFolderItemFolder.isEmpty())
        setPreference(Keys::Folder, menuFolderItemFolder);
    // A selection made in another file's lines (the file was switched since) is none here.
    if (menuCurrentIndex) {
        const bool sameText = menuCurrentItemMd5 == currentMd5;
        setPreference(Keys::MenuItemTag, sameText ? *menuCurrentIndex : -1);
    }
}

bool MyBevelButton::Event_MouseDown(int, int)
{
    if (!entriesFile.path().isEmpty())
        buildMenu();
    return false;
}

void MyBevelButton::setCheckMark(QAction* item, bool checked)
{
    // Only the checked entry is checkable, so the others show no empty check box.
    item->setCheckable(checked);
    item->setChecked(checked);
}

void MyBevelButton::setMenuCurrentIndex(int index)
{
    menuCurrentIndex = index;
    menuCurrentItemMd5 = menuMd5;
}

QAction* MyBevelButton::shownCurrentItem() const
{
    // Entry items come first in the menu, one for each line, in order.
    if (!menuCurrentIndex || *menuCurrentIndex < 0 || *menuCurrentIndex >= menuEntryCount)
        return nullptr;
    QAction* item = entryMenu->actions().at(*menuCurrentIndex);
    return item->isChecked() ? item : nullptr;
}

void MyBevelButton::forgetSelection()
{
    if (QAction* shown = shownCurrentItem())
        setCheckMark(shown, false);
    if (menuCurrentIndex)
        menuCurrentIndex = -1;
}

void MyBevelButton::Event_MenuSelected(QAction* item)
{
    if (!item)
        return;
    const QVariant tag = item->data();
    if (tag.typeId() == QMetaType::Int) {
        if (QAction* shown = shownCurrentItem())
            setCheckMark(shown, false);
        setCheckMark(item, true);
        setMenuCurrentIndex(tag.toInt());
        menuTagsByMd5.insert(menuMd5, tag.toInt());
        setToolTip(EntryMenu::bounded(entryText(item)));
        setInsertion(false, menuInsertionIndex);
        Platform& platform = App::instance()->platform();
        if (platform.optionKeyDown()) {
            isAltKey = true;
            menuInsertionIndex = tag.toInt();
            menuInsertionLines = entriesFile.lines();
            const QString text = platform.clipboardHasText() ? platform.clipboardText() : QString();
            if (kind == Kind::Bookmarks)
                openBookmarkDialog(text);
            else
                openTextDialog(text);
            return;
        }
        if (kind == Kind::Bookmarks)
            doBookmark(item);
        else if (kind == Kind::Typers)
            doTyper(item);
        else if (kind == Kind::Memos)
            doMemo(item);
        return;
    }

    const QString itemKind = tag.toString();
    if (itemKind == Texts::tagFile) {
        entriesFile.setPath(item->objectName());
        initFolderItem();
    } else if (itemKind == Texts::tagAction) {
        const QString text = item->text();
        if (StringModule::regExTest(QStringLiteral("edit"), text, false))
            App::instance()->platform().openFile(entriesFile.path());
        else if (StringModule::regExTest(QStringLiteral("choose"), text, false))
            getFolderItem();
        else if (StringModule::regExTest(QStringLiteral("del"), text, false))
            deleteMenuItem();
        setToolTip(Texts::dropHint);
    }
}

void MyBevelButton::openBookmarkDialog(const QString& text)
{
    emit bookmarkDialogRequested(text);
}

void MyBevelButton::openTextDialog(const QString& text)
{
    emit textDialogRequested(text);
}

MyBevelButton::DragItem MyBevelButton::dragItemOf(const QMimeData* item)
{
    DragItem dragged;
    if (!item)
        return dragged;
    // File managers offer a dragged file as a URL list and as text (its path or address):
    // the URL list decides, so the file counts as a file.
    if (item->hasUrls()) {
        const QList<QUrl> urls = item->urls();
        if (!urls.isEmpty() && urls.first().isLocalFile()) {
            dragged.hasFile = true;
            dragged.path = QDir::cleanPath(urls.first().toLocalFile());
            return dragged;
        }
    }
    if (item->hasText()) {
        dragged.hasText = true;
        dragged.text = item->text();
    }
    return dragged;
}

bool MyBevelButton::Event_DragEnter(const QMimeData* item, int)
{
    const DragItem dragged = dragItemOf(item);
    dragItemIsValid = false;
    if (dragged.hasText)
        dragItemIsValid = true;
    else if (dragged.hasFile)
        dragItemIsValid = validateFile(dragged.path);
    toggle();
    return false;
}

void MyBevelButton::Event_DragExit(const QMimeData*, int)
{
    // Ends the pressed look once per hover, whichever of exit and drop comes.
    if (isDown())
        toggle();
}

void MyBevelButton::toggle()
{
    if (dragItemIsValid)
        setDown(!isDown());
}

void MyBevelButton::Event_DropObject(const QMimeData* item, int)
{
    if (dragItemIsValid) {
        const DragItem dragged = dragItemOf(item);
        bool accepted = true;
        if (dragged.hasText) {
            setInsertion(App::instance()->platform().optionKeyDown(), 0);
            // No snap for a text that was not added: the user has been told why.
            if (kind == Kind::Bookmarks)
                openBookmarkDialog(dragged.text);
            else
                accepted = insertMenuItem(dragged.text.trimmed());
        } else if (dragged.hasFile && QFileInfo(dragged.path).isDir()) {
            menuFolderItemFolder = QDir::toNativeSeparators(dragged.path);
        } else if (dragged.hasFile && validateFile(dragged.path) && canTakeFile(dragged.path)) {
            entriesFile.setPath(QDir::toNativeSeparators(dragged.path));
            setPreference(Keys::MenuItemTag, QVariant());
            initFolderItem();
        } else {
            accepted = false;
        }
        if (accepted) {
            auto& resources = App::instance()->resources();
            resources.play(resources.snap1());
        }
    }
    if (isDown())
        toggle();
}

void MyBevelButton::mousePressEvent(QMouseEvent* event)
{
    Event_MouseDown(event->position().toPoint().x(), event->position().toPoint().y());
    // A quit asked for meanwhile comes first: no menu opens for it to wait behind.
    if (quitSignalPending()) {
        event->accept();
        return;
    }
    QToolButton::mousePressEvent(event);
}

void MyBevelButton::dragEnterEvent(QDragEnterEvent* event)
{
    Event_DragEnter(event->mimeData(), event->dropAction());
    // Qt sends the leave and drop events only for an accepted drag.
    acceptAsCopy(event, dragItemIsValid);
}

void MyBevelButton::dragMoveEvent(QDragMoveEvent* event)
{
    acceptAsCopy(event, dragItemIsValid);
}

void MyBevelButton::dragLeaveEvent(QDragLeaveEvent*)
{
    Event_DragExit(nullptr, 0);
}

void MyBevelButton::dropEvent(QDropEvent* event)
{
    Event_DropObject(event->mimeData(), event->dropAction());
    acceptAsCopy(event, true);
}

void MyBevelButton::acceptAsCopy(QDropEvent* event, bool accepted)
{
    // Never the action the source proposes: editors built on Qt, and any drag with Shift held,
    // propose a move, and a source told that its text was moved deletes it from the document.
    event->setDropAction(Qt::CopyAction);
    event->setAccepted(accepted);
}

void MyBevelButton::initStyleOption(QStyleOptionToolButton* option) const
{
    QToolButton::initStyleOption(option);
    // A caption is shown as written: an ampersand in a memo is a character, not a mnemonic.
    EntryMenu::showAsWritten(option->text);
}
