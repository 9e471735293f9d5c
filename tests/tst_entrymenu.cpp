#include "app/stringmodule.h"
#include "app/texts.h"
#include "tests/buttonfixture.h"

#include <QDir>
#include <QSignalSpy>

// The menu that a press builds (items, tags, names, check mark and file items in order), the
// selection remembered per entries text, and what choosing a bookmark or a memo opens.
class TestEntryMenu : public QObject
{
    Q_OBJECT
private slots:
    void init() { fx.reset(); }
    void menuItems_data();
    void menuItems();
    void fileItems_data();
    void fileItems();
    void selectionAfterRestart_data();
    void selectionAfterRestart();
    void selectionWhenSwitchingFiles();
    void memoActions_data();
    void memoActions();
    void optionChoiceAsksInsteadOfActing_data();
    void optionChoiceAsksInsteadOfActing();
    void editAndChooseItems();

private:
    static void choose(MyBevelButton& button, const QString& text)
    {
        button.Event_MouseDown(1, 1);
        QAction* item = ButtonFixture::item(button, text);
        QVERIFY(item);
        item->trigger();
    }
    static QStringList tail(const QStringList& items, int count)
    {
        return items.mid(items.size() - count);
    }
    ButtonFixture fx;
};

static const QString editItem = QString(Texts::editMenu) + "|Action";
static const QString chooseItem = QString(Texts::chooseFile) + "|Action";
static const QString deleteItem = QString(Texts::deleteMenuItem) + "|Action";

void TestEntryMenu::menuItems_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("selected"); // stored at the last quit for this very text
    QTest::addColumn<QStringList>("items");
    const QByteArray typers("Greeting\n\n  Sign-off  \n   ");
    QTest::newRow("four-line Typers file")
        << "Typers" << typers << -1
        << QStringList{"Greeting|0", "-", "Sign-off|2", "-", "-", editItem, chooseItem};
    QTest::newRow("line 2 selected: check mark and delete item")
        << "Typers" << typers << 2 << QStringList{"Greeting|0", "-",      "+Sign-off|2", "-", "-",
                                                  deleteItem,   editItem, chooseItem};
    QTest::newRow("no lines, whatever the selection")
        << "Typers" << QByteArray() << 0 << QStringList{"-", editItem, chooseItem};
    QTest::newRow("a selection on a blank line checks nothing and offers no delete")
        << "Typers" << QByteArray("a\n\nb") << 1
        << QStringList{"a|0", "-", "b|2", "-", editItem, chooseItem};
    QTest::newRow("a line reading - is a separator with a tag")
        << "Memos" << QByteArray("a\n - \nb") << 1
        << QStringList{"a|0", "-|1", "b|2", "-", editItem, chooseItem};
    QTest::newRow("a typer holding a TAB is shown whole")
        << "Typers" << QByteArray(" a\tb <date> ") << -1
        << QStringList{"a\tb <date>|0", "-", editItem, chooseItem};
    QTest::newRow("bookmark with two TABs")
        << "Bookmarks" << QByteArray(" Site \t https://a.example/x%20y \t more") << -1
        << QStringList{"Site|0|https://a.example/x%20y", "-", editItem, chooseItem};
    QTest::newRow("bookmark without a TAB searches for its title")
        << "Bookmarks" << QByteArray("Tom & Jerry's 100%/a+b?") << -1
        << QStringList{"Tom & Jerry's 100%/a+b?|0|https://www.google.com/search?q="
                       "Tom%20%26%20Jerry%27s%20100%25%2Fa%2Bb%3F",
                       "-", editItem, chooseItem};
    QTest::newRow("bookmark with only blanks after the TAB")
        << "Bookmarks" << QByteArray("C++ \xc3\xa9t\xc3\xa9\t   ") << -1
        << QStringList{QString::fromUtf8("C++ \xc3\xa9t\xc3\xa9|0|https://www.google.com/search?q="
                                         "C%2B%2B%20%C3%A9t%C3%A9"),
                       "-", editItem, chooseItem};
}

void TestEntryMenu::menuItems()
{
    QFETCH(QString, button);
    QFETCH(QByteArray, file);
    QFETCH(int, selected);
    QFETCH(QStringList, items);
    fx.writeBytes(fx.path("e.txt"), file);
    auto& prefs = App::instance()->Preferences();
    prefs.Set(button + "MenuAsMd5", StringModule::asMd5(file));
    prefs.Set(button + "MenuItemTag", selected);
    auto opened = fx.open(button, fx.path("e.txt"));
    QCOMPARE(fx.pressAndDescribe(*opened), items);

    // A bookmark opens exactly its Name, percent-encoding kept.
    if (button == "Bookmarks") {
        QAction* entry = opened->menu()->actions().first();
        entry->trigger();
        QCOMPARE(fakePlatform().openedUrls.size(), 1);
        QCOMPARE(fakePlatform().openedUrls.first().toString(QUrl::FullyEncoded),
                 entry->objectName());
    }
}

void TestEntryMenu::fileItems_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("offered");
    QTest::newRow("only other .txt and .tab names, files only")
        << QStringList{"a.txt", "b.TAB", "c.txt.bak", "d.tab.bak", "e.md", "sub.txt/"}
        << QStringList{"-", "b.TAB|File|%1/b.TAB", "c.txt.bak|File|%1/c.txt.bak"};
    QTest::newRow("nothing else qualifies: no separator")
        << QStringList{"a.txt", "e.md"} << QStringList{};
}

void TestEntryMenu::fileItems()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, offered);
    const QString folder = fx.path("lists");
    QDir().mkpath(folder);
    for (const QString& name : files) {
        if (name.endsWith('/'))
            QDir(folder).mkdir(name.chopped(1));
        else
            fx.writeBytes(folder + "/" + name, "x");
    }
    App::instance()->Preferences().Set("TypersFolder", folder);
    auto button = fx.open("Typers", folder + "/a.txt");
    for (QString& item : offered)
        item = item.arg(folder);
    QCOMPARE(tail(fx.pressAndDescribe(*button), offered.size() + 1),
             QStringList{chooseItem} + offered);
}

void TestEntryMenu::selectionAfterRestart_data()
{
    QTest::addColumn<QByteArray>("changedTo"); // the file between the runs; empty: unchanged
    QTest::addColumn<QString>("checked");
    QTest::newRow("lines unchanged") << QByteArray() << "b";
    QTest::newRow("only the line ends changed") << QByteArray("a\r\nb\r\nc") << "b";
    QTest::newRow("lines changed outside") << QByteArray("a\nb\nc\nd") << "";
}

void TestEntryMenu::selectionAfterRestart()
{
    QFETCH(QByteArray, changedTo);
    QFETCH(QString, checked);
    fx.writeBytes(fx.path("b.txt"), "a\nb\nc");
    {
        auto first = fx.open("Bookmarks", fx.path("b.txt"));
        choose(*first, "b");
        first->Event_Close();
    }
    if (!changedTo.isEmpty())
        fx.writeBytes(fx.path("b.txt"), changedTo);
    auto second = fx.open("Bookmarks");
    QCOMPARE(fx.pressAndCheckedItems(*second),
             checked.isEmpty() ? QStringList{} : QStringList{checked});
}

void TestEntryMenu::selectionWhenSwitchingFiles()
{
    fx.writeBytes(fx.path("a.txt"), "a0\na1\na2\na3");
    fx.writeBytes(fx.path("b.txt"), "b0\nb1\nb2\nb3\nb4");
    App::instance()->Preferences().Set("MemosFolder", fx.folder->path());
    auto button = fx.open("Memos", fx.path("a.txt"));
    auto checkedItems = [&] { return fx.pressAndCheckedItems(*button); };

    choose(*button, "a3");
    fakePlatform().chosenFile = fx.path("b.txt");
    choose(*button, Texts::chooseFile);
    QCOMPARE(button->text(), "b");
    QCOMPARE(checkedItems(), QStringList{});
    choose(*button, "a.txt");
    QCOMPARE(checkedItems(), QStringList{}); // "Choose File.." dropped the selection

    choose(*button, "a3");
    choose(*button, "b.txt");
    QCOMPARE(checkedItems(), QStringList{}); // b's line 3 was never chosen
    choose(*button, "a.txt");
    QCOMPARE(checkedItems(), QStringList{"a3"});
    choose(*button, "b.txt");
    QCOMPARE(checkedItems(), QStringList{});
}

void TestEntryMenu::memoActions_data()
{
    QTest::addColumn<QByteArray>("memo");
    QTest::addColumn<QString>("opened"); // empty: nothing opened
    QTest::addColumn<QString>("caption");
    QTest::newRow("caption before the TAB")
        << QByteArray("Call Bob\tat https://bob.example/x") << "https://bob.example/x"
        << "Call Bob";
    QTest::newRow("address in parentheses")
        << QByteArray("docs (http://ex.org/page) here") << "http://ex.org/page"
        << "docs (http://ex.org/page) here";
    QTest::newRow("capital scheme")
        << QByteArray("HTTPS://Example.org/Path") << "HTTPS://Example.org/Path"
        << "HTTPS://Example.org/Path";
    QTest::newRow("mailto with a query")
        << QByteArray("mail mailto:a@b.org?subject=Hi%20you&body=x")
        << "mailto:a@b.org?subject=Hi%20you&body=x"
        << "mail mailto:a@b.org?subject=Hi%20you&body=x";
    QTest::newRow("scheme with slashes and nothing after") << QByteArray("see http://") << ""
                                                           << "see http://";
    QTest::newRow("scheme at the end") << QByteArray("write to mailto:") << ""
                                       << "write to mailto:";
    QTest::newRow("only the first of several")
        << QByteArray("x https://one.org y http://two.org") << "https://one.org"
        << "x https://one.org y http://two.org";
    QTest::newRow("quote ends the address")
        << QByteArray("<a href=\"https://q.org/x\">") << "https://q.org/x"
        << "<a href=\"https://q.org/x\">";
}

void TestEntryMenu::memoActions()
{
    QFETCH(QByteArray, memo);
    QFETCH(QString, opened);
    QFETCH(QString, caption);
    fx.writeBytes(fx.path("m.txt"), memo);
    auto button = fx.open("Memos", fx.path("m.txt"));
    choose(*button, QString::fromUtf8(memo).trimmed());
    QCOMPARE(button->text(), caption);
    QCOMPARE(fakePlatform().openedUrls,
             opened.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl(opened)});
}

void TestEntryMenu::optionChoiceAsksInsteadOfActing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("clipboardHasText");
    QTest::newRow("memo, clipboard text") << "Memos" << true;
    QTest::newRow("bookmark, no clipboard text") << "Bookmarks" << false;
}

void TestEntryMenu::optionChoiceAsksInsteadOfActing()
{
    QFETCH(QString, button);
    QFETCH(bool, clipboardHasText);
    fx.writeBytes(fx.path("e.txt"), "http://m0.org\nhttp://m1.org\nhttp://m2.org");
    auto target = fx.open(button, fx.path("e.txt"));
    QSignalSpy dialog(target.get(), button == "Bookmarks" ? &MyBevelButton::bookmarkDialogRequested
                                                          : &MyBevelButton::textDialogRequested);
    if (clipboardHasText)
        fakePlatform().setClipboardText("clip");
    fakePlatform().altKey = true;
    choose(*target, "http://m1.org");
    QCOMPARE(dialog.size(), 1);
    QCOMPARE(dialog.first().first().toString(), clipboardHasText ? "clip" : "");
    QVERIFY(fakePlatform().openedUrls.isEmpty());
    QCOMPARE(target->toolTip(), "http://m1.org");
    QCOMPARE(fx.pressAndCheckedItems(*target), QStringList{"http://m1.org"});

    target->insertMenuItem("new"); // what the confirmed dialog hands over
    QCOMPARE(fx.readBytes(fx.path("e.txt")), "http://m0.org\nnew\nhttp://m1.org\nhttp://m2.org");
}

void TestEntryMenu::editAndChooseItems()
{
    fx.writeBytes(fx.path("t.txt"), "a");
    auto button = fx.open("Typers", fx.path("t.txt"));
    choose(*button, Texts::editMenu);
    QCOMPARE(fakePlatform().openedFiles, QStringList{fx.path("t.txt")});
    QCOMPARE(button->toolTip(), QString(Texts::dropHint));

    choose(*button, Texts::chooseFile); // cancelled: nothing changes
    QCOMPARE(fakePlatform().openDialogs, QStringList{Texts::entriesFileFilter});
    QCOMPARE(button->text(), "t");
    QCOMPARE(button->menuFilePath, fx.path("t.txt"));
}

KELVORA_TEST_MAIN(TestEntryMenu)
#include "tst_entrymenu.moc"
