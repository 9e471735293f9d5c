#pragma once

// What the entry-button tests share: for each test a fresh preferences store, a private folder
// for entries files and a cleared fake platform, and a readable form of a button's menu.

#include "app/app.h"
#include "buttons/mybevelbutton.h"
#include "tests/testsupport.h"

#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <memory>

class ButtonFixture
{
public:
    void reset()
    {
        App::instance()->Event_Open(); // a fresh, empty store: nothing is saved between tests
        folder = std::make_unique<QTemporaryDir>(testEnvironment().home() + "/entries-XXXXXX");
        MyBevelButton::setBundleParentFolder(folder->path());
        fakePlatform() = FakePlatform();
    }

    QString path(const QString& name) const { return folder->filePath(name); }

    [[nodiscard]] static bool writeBytes(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    static QByteArray readBytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    // A button of that name opened on the file (its stored "File"), or on its default file.
    static std::unique_ptr<MyBevelButton> open(const QString& name, const QString& file = {})
    {
        if (!file.isEmpty())
            App::instance()->Preferences().Set(name + "File", file);
        auto button = std::make_unique<MyBevelButton>(name);
        button->Event_Open();
        return button;
    }
    // A button opened on e.txt holding these bytes (none when e.txt cannot be written), and what
    // e.txt holds later.
    [[nodiscard]] std::unique_ptr<MyBevelButton> openOn(const QString& name,
                                                        const QByteArray& bytes) const
    {
        if (!writeBytes(path("e.txt"), bytes))
            return nullptr;
        return open(name, path("e.txt"));
    }
    QByteArray entries() const { return readBytes(path("e.txt")); }

    // The menu after a press: "text|tag", "text|tag|name", "+" before a checked item, "!"
    // before a disabled one, "-" for a separator ("-|tag" for an entry shown as one).
    static QStringList pressAndDescribe(MyBevelButton& button)
    {
        button.Event_MouseDown(1, 1);
        QStringList items;
        for (const QAction* item : button.menu()->actions()) {
            if (item->isSeparator()) {
                items << (item->data().isValid() ? "-|" + item->data().toString() : "-");
                continue;
            }
            QString text = QString(item->isChecked() ? "+" : "") + (item->isEnabled() ? "" : "!") +
                           item->text() + "|" + item->data().toString();
            if (!item->objectName().isEmpty())
                text += "|" + item->objectName();
            items << text;
        }
        return items;
    }

    // The texts of the checked entries after a press.
    static QStringList pressAndCheckedItems(MyBevelButton& button)
    {
        button.Event_MouseDown(1, 1);
        QStringList texts;
        for (const QAction* item : button.menu()->actions())
            if (item->isChecked())
                texts << item->text();
        return texts;
    }

    static QAction* item(MyBevelButton& button, const QString& text)
    {
        for (QAction* item : button.menu()->actions())
            if (MyBevelButton::entryText(item) == text)
                return item;
        return nullptr;
    }
    // Presses the button and chooses the item with that text; false when it is not on offer.
    [[nodiscard]] static bool choose(MyBevelButton& button, const QString& text)
    {
        button.Event_MouseDown(1, 1);
        QAction* chosen = item(button, text);
        if (chosen)
            chosen->trigger();
        return chosen;
    }

    std::unique_ptr<QTemporaryDir> folder;
};
