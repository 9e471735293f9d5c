#include "app/stringmodule.h"
#include "app/texts.h"
#include "tests/buttonfixture.h"

#include <QDir>
#include <QSignalSpy>

static const QString editItem = QString(Texts::editMenu) + "|Action";
static const QString chooseItem = QString(Texts::chooseFile) + "|Action";
static const QString deleteItem = QString(Texts::deleteMenuItem) + "|Action";

// Counts the changes of a menu's items that make Qt lay it out again.
class ActionEvents : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        count += type == QEvent::ActionChanged || type == QEvent::ActionAdded ||
                 type == QEvent::ActionRemoved;
        return false;
    }
};

// The menu that a press builds (items, tags, names, check mark and file items in order), the
// selection remembered per entries text, and what choosing a bookmark or a memo opens.
class TestEntryMenu : public QObject
{
    Q_OBJECT
private slots:
    void init() { fx.reset(); }
    void menuItems_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("selected");      // stored at the last quit for this very text
        QTest::addColumn<QStringList>("items"); // the entries; the action items follow
        const auto row = [](const char* name, const char* button, const QByteArray& file,
                            int selected, const QStringList& items) {
            QTest::newRow(name) << button << file << selected << items;
        };
        row("line 2 selected: check mark and delete item", "Typers",
            "Greeting\n\n  Sign-off  \n   ", 2,
            {"Greeting|0", "-", "+Sign-off|2", "-", "-", deleteItem});
        row("no lines, whatever the selection", "Typers", "", 0, {"-"});
        row("a selection on a blank line checks nothing and offers no delete", "Typers", "a\n\nb",
            1, {"a|0", "-", "b|2", "-"});
        row("a line reading - is a separator with a tag", "Memos", "a\n - \nb", 1,
            {"a|0", "-|1", "b|2", "-"});
        row("a typer holding a TAB is shown whole, the TAB as blanks", "Typers", " a\tb <date> ",
            -1, {"a    b <date>|0", "-"});
        row("a line of thousands of characters shows its first thousand", "Memos",
            QByteArray(1500, 'm'), -1, {QString(1000, 'm') + QChar(0x2026) + "|0", "-"});
        row("bookmark with two TABs", "Bookmarks", " Site \t HTTPS://A.Example/x%2fy \t more", -1,
            {"Site|0|HTTPS://A.Example/x%2fy", "-"});
        row("bookmark without a TAB searches for its title", "Bookmarks", "Tom & Jerry's 100%/a+b?",
            -1,
            {"Tom & Jerry's 100%/a+b?|0|https://www.google.com/search?q="
             "Tom%20%26%20Jerry%27s%20100%25%2Fa%2Bb%3F",
             "-"});
        row("bookmark with only blanks after the TAB", "Bookmarks", "C++ \xc3\xa9t\xc3\xa9\t   ",
            -1,
            {QString::fromUtf8("C++ \xc3\xa9t\xc3\xa9|0|https://www.google.com/search?q="
                               "C%2B%2B%20%C3%A9t%C3%A9"),
             "-"});
    }

    void menuItems()
    {
        QFETCH(QString, button);
        QFETCH(QByteArray, file);
        QFETCH(int, selected);
        QFETCH(QStringList, items);
        auto& prefs = App::instance()->Preferences();
        prefs.Set(button + "MenuAsMd5", StringModule::asMd5(file));
        prefs.Set(button + "MenuItemTag", selected);
        auto opened = fx.openOn(button, file);
        QVERIFY(opened);
        QCOMPARE(fx.pressAndDescribe(*opened), (items + QStringList{editItem, chooseItem}));
        // Every separator shows, also several in a row.
        for (QAction* item : opened->menu()->actions())
            QVERIFY(!opened->menu()->actionGeometry(item).isEmpty());

        // A bookmark opens exactly its Name, letter case and percent-encoding kept.
        if (button == "Bookmarks") {
            QAction* entry = opened->menu()->actions().first();
            entry->trigger();
            QCOMPARE(fakePlatform().openedUrls, QStringList{entry->objectName()});
        }
    }

    void fileItems_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("only other .txt and .tab names, files only")
            << QStringList{"a.txt", "b.TAB", "c.txt.gz", "d.tab.bak", "e.md", "f.Txt", "sub.txt/"}
            << QStringList{"-", "b.TAB|File|%1/b.TAB", "f.Txt|File|%1/f.Txt"};
        QTest::newRow("nothing else qualifies: no separator")
            << QStringList{"a.txt", "e.md"} << QStringList{};
    }

    void fileItems()
    {
        QFETCH(QStringList, files);
        QFETCH(QStringList, offered);
        const QString folder = fx.path("lists");
        QDir().mkpath(folder);
        for (const QString& name : files) {
            if (name.endsWith('/'))
                QDir(folder).mkdir(name.chopped(1));
            else
                QVERIFY(fx.writeBytes(folder + "/" + name, "x"));
        }
        App::instance()->Preferences().Set("TypersFolder", folder);
        auto button = fx.open("Typers", folder + "/a.txt");
        offered.replaceInStrings("%1", folder);
        QCOMPARE(fx.pressAndDescribe(*button).mid(2),
                 (QStringList{editItem, chooseItem} + offered));
    }

    void selectionAfterRestart_data()
    {
        QTest::addColumn<QByteArray>("changedTo"); // the file between the runs; empty: unchanged
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<bool>("whileRunning"); // changed and pressed before the quit
        QTest::newRow("lines unchanged") << QByteArray() << QStringList{"b"} << false;
        QTest::newRow("only the line ends changed")
            << QByteArray("a\r\nb\r\nc") << QStringList{"b"} << false;
        QTest::newRow("lines changed outside")
            << QByteArray("a\nb\nc\nd") << QStringList{} << false;
        // An earlier run's selection is stored; the chosen line's item leaves the menu shown.
        QTest::newRow("chosen line removed while running")
            << QByteArray("a") << QStringList{} << true;
    }

    void selectionAfterRestart()
    {
        QFETCH(QByteArray, changedTo);
        QFETCH(QStringList, checked);
        QFETCH(bool, whileRunning);
        App::instance()->Preferences().Set("BookmarksMenuItemTag", 0);
        {
            auto first = fx.openOn("Bookmarks", "a\nb\nc");
            QVERIFY(first);
            QVERIFY(fx.choose(*first, "b"));
            if (whileRunning) {
                QVERIFY(fx.writeBytes(fx.path("e.txt"), changedTo));
                first->Event_MouseDown(1, 1);
            }
            first->Event_Close();
        }
        if (!changedTo.isEmpty() && !whileRunning)
            QVERIFY(fx.writeBytes(fx.path("e.txt"), changedTo));
        auto second = fx.open("Bookmarks");
        QCOMPARE(fx.pressAndCheckedItems(*second), checked);
    }

    void selectionWhenSwitchingFiles()
    {
        QVERIFY(fx.writeBytes(fx.path("b.txt"), "b0\nb1\nb2\nb3\nb4"));
        App::instance()->Preferences().Set("MemosFolder", fx.folder->path());
        auto button = fx.openOn("Memos", "a0\na1\na2\na3");
        QVERIFY(button);
        auto checkedAfter = [&](const QString& choice) {
            if (!fx.choose(*button, choice))
                return QStringList{"not on offer: " + choice};
            return fx.pressAndCheckedItems(*button);
        };

        QVERIFY(fx.choose(*button, "a3"));
        fakePlatform().chosenFile = fx.path("b.txt");
        QCOMPARE(checkedAfter(Texts::chooseFile), QStringList{});
        QCOMPARE(button->text(), "b");
        QCOMPARE(checkedAfter("e.txt"), QStringList{}); // "Choose File.." dropped the selection

        QVERIFY(fx.choose(*button, "a3"));
        QCOMPARE(checkedAfter("b.txt"), QStringList{}); // b's line 3 was never chosen
        QCOMPARE(checkedAfter("e.txt"), QStringList{"a3"});
        QCOMPARE(checkedAfter("b.txt"), QStringList{});
    }

    void keptMenuFollows_data()
    {
        // A press on an unchanged file shows the menu it showed before; any change builds it
        // again. The memo "a" was chosen, then the button pressed once more.
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("items"); // the entries; the action items follow
        QTest::addColumn<QStringList>("files"); // after the action items
        const auto row = [](const char* name, const char* change, const QStringList& items,
                            const QStringList& files = {}) {
            QTest::newRow(name) << change << items << files;
        };
        row("nothing: the same menu, checked as chosen", "", {"+a|0", "b|1", "-", deleteItem});
        row("file changed on disk", "disk", {"a|0", "b|1", "c|2", "-"});
        row("entries become separators", "separators", {"-|0", "-", "c|2", "-"});
        row("an entry inserted", "insert", {"a|0", "b|1", "c|2", "-"});
        row("the checked entry deleted", "delete", {"b|0", "-"});
        row("another file chosen", "switch", {"x|0", "-"}, {"-", "e.txt|File|%1/e.txt"});
        row("a file added to the folder", "folder", {"+a|0", "b|1", "-", deleteItem},
            {"-", "n.txt|File|%1/n.txt"});
    }

    void keptMenuFollows()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, items);
        QFETCH(QStringList, files);
        auto button = fx.openOn("Memos", "a\nb");
        QVERIFY(button);
        button->setMenuFolderItemFolder(fx.folder->path());
        QVERIFY(fx.choose(*button, "a"));
        fx.pressAndDescribe(*button);
        const QMenu* shown = button->menu();
        ActionEvents events;
        button->menu()->installEventFilter(&events);
        if (change == "disk")
            QVERIFY(fx.writeBytes(fx.path("e.txt"), "a\nb\nc"));
        else if (change == "separators")
            QVERIFY(fx.writeBytes(fx.path("e.txt"), "-\n\nc"));
        else if (change == "insert")
            button->insertMenuItem("c");
        else if (change == "delete")
            fx.item(*button, Texts::deleteMenuItem)->trigger();
        else if (change == "folder")
            QVERIFY(fx.writeBytes(fx.path("n.txt"), "n"));
        if (change == "switch") {
            QVERIFY(fx.writeBytes(fx.path("x.txt"), "x"));
            fakePlatform().chosenFile = fx.path("x.txt");
            QVERIFY(fx.choose(*button, Texts::chooseFile));
        }
        files.replaceInStrings("%1", fx.folder->path());
        QCOMPARE(fx.pressAndDescribe(*button), (items + QStringList{editItem, chooseItem} + files));
        // Nothing in an unchanged menu changed, so Qt need not lay it out again.
        QCOMPARE(button->menu() == shown && events.count == 0, change.isEmpty());
        // The copy a missing file is written again from follows the file too.
        if (change == "disk") {
            QVERIFY(QFile::remove(fx.path("e.txt")));
            button->Event_MouseDown(1, 1);
            QCOMPARE(fx.entries(), "a\nb\nc");
        }
    }

    void longFileMenu()
    {
        // Its first lines, tagged with their index, then a disabled item telling how many more
        // the file holds; the count follows the file, and the item goes once every line shows.
        const qsizetype limit = MyBevelButton::menuEntryLimit;
        QByteArrayList lines;
        for (qsizetype i = 0; i < limit + 2; ++i)
            lines << "e" + QByteArray::number(i);
        auto button = fx.openOn("Typers", lines.join('\n'));
        QVERIFY(button);
        const QString last = QString("e%1|%1").arg(limit - 1);
        const auto more = [](int count) { return "!" + Texts::linesNotShown(count) + "|"; };
        QCOMPARE(fx.pressAndDescribe(*button).mid(limit - 1),
                 (QStringList{last, more(2), "-", editItem, chooseItem}));
        QVERIFY(fx.writeBytes(fx.path("e.txt"), lines.join('\n') + "\nmore"));
        QCOMPARE(fx.pressAndDescribe(*button).mid(limit - 1, 3), (QStringList{last, more(3), "-"}));
        lines.resize(limit - 1);
        QVERIFY(fx.writeBytes(fx.path("e.txt"), lines.join('\n')));
        QCOMPARE(fx.pressAndDescribe(*button).mid(limit - 2),
                 (QStringList{QString("e%1|%1").arg(limit - 2), "-", editItem, chooseItem}));
    }

    void memoActions_data()
    {
        QTest::addColumn<QByteArray>("memo");
        QTest::addColumn<QString>("opened"); // empty: nothing opened
        QTest::addColumn<QString>("caption");
        // The caption is the whole memo unless a row says otherwise.
        const auto row = [](const char* name, const char* memo, const char* opened,
                            const char* caption = nullptr) {
            QTest::newRow(name) << QByteArray(memo) << opened << (caption ? caption : memo);
        };
        row("caption before the TAB", "Call Bob\tat https://bob.example/x", "https://bob.example/x",
            "Call Bob");
        row("address in parentheses", "docs (http://ex.org/page) here", "http://ex.org/page");
        row("capital scheme", "HTTPS://Example.org/Path", "HTTPS://Example.org/Path");
        row("mailto with a query", "mail mailto:a@b.org?subject=Hi%20you&body=x",
            "mailto:a@b.org?subject=Hi%20you&body=x");
        row("scheme with slashes and nothing after", "see http://", "");
        row("scheme at the end", "write to mailto:", "");
        row("a quote ends the address, only the first opens",
            "<a href=\"https://q.org/x\"> http://two.org", "https://q.org/x");
    }

    void memoActions()
    {
        QFETCH(QByteArray, memo);
        QFETCH(QString, opened);
        QFETCH(QString, caption);
        auto button = fx.openOn("Memos", memo);
        QVERIFY(button);
        QVERIFY(fx.choose(*button, QString::fromUtf8(memo)));
        QCOMPARE(button->text(), caption);
        QCOMPARE(fakePlatform().openedUrls, opened.isEmpty() ? QStringList{} : QStringList{opened});
    }

    void optionChoiceAsksInsteadOfActing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("clipboardHasText");
        QTest::newRow("memo, clipboard text") << "Memos" << true;
        QTest::newRow("bookmark, no clipboard text") << "Bookmarks" << false;
    }

    void optionChoiceAsksInsteadOfActing()
    {
        QFETCH(QString, button);
        QFETCH(bool, clipboardHasText);
        auto target = fx.openOn(button, "http://m0.org\nhttp://m1.org\nhttp://m2.org");
        QVERIFY(target);
        QSignalSpy dialog(target.get(), button == "Bookmarks"
                                            ? &MyBevelButton::bookmarkDialogRequested
                                            : &MyBevelButton::textDialogRequested);
        if (clipboardHasText)
            fakePlatform().setClipboardText("clip");
        fakePlatform().optionKey = true;
        QVERIFY(fx.choose(*target, "http://m1.org"));
        QCOMPARE(dialog.size(), 1);
        QCOMPARE(dialog.first().first().toString(), clipboardHasText ? "clip" : "");
        QVERIFY(fakePlatform().openedUrls.isEmpty());
        QCOMPARE(target->toolTip(), "http://m1.org");
        QCOMPARE(fx.pressAndCheckedItems(*target), QStringList{"http://m1.org"});

        target->insertMenuItem("new"); // what the confirmed dialog hands over
        QCOMPARE(fx.entries(), "http://m0.org\nnew\nhttp://m1.org\nhttp://m2.org");
    }

    void editAndChooseItems()
    {
        auto button = fx.openOn("Typers", "a");
        QVERIFY(button);
        QVERIFY(fx.choose(*button, Texts::editMenu));
        QCOMPARE(fakePlatform().openedFiles, QStringList{fx.path("e.txt")});
        QCOMPARE(button->toolTip(), QString(Texts::dropHint));

        QVERIFY(fx.choose(*button, Texts::chooseFile)); // cancelled: nothing changes
        QCOMPARE(fakePlatform().openDialogs, QStringList{Texts::entriesFileFilter + " in " +
                                                         QFileInfo(fx.path("e.txt")).path()});
        QCOMPARE(button->text(), "e");
        QCOMPARE(button->menuFilePath(), fx.path("e.txt"));
    }

private:
    ButtonFixture fx;
};

KELVORA_TEST_MAIN(TestEntryMenu)
#include "tst_entrymenu.moc"
