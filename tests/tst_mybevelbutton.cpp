#include "app/stringmodule.h"
#include "app/texts.h"
#include "tests/buttonfixture.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QSignalSpy>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

// The entry button's file, edits, drops and keys: the bytes that reach the entries file, the
// captions shown, the keys stored at quit, and that no failure loses or overwrites a file.
class TestMyBevelButton : public QObject
{
    Q_OBJECT
private slots:
    void init() { fx.reset(); }
    void bytesWritten_data();
    void bytesWritten();
    void firstStart();
    void captions_data();
    void captions();
    void drops_data();
    void drops();
    void fileAndFolderDropsAndKeys();
    void missingFolderChainCreatedExactly();
    void unreadableFileLeftUntouched_data();
    void unreadableFileLeftUntouched();
    void failedWriteKeepsOldFile();
    void insertAfterSwitchGoesToNewFile();

private:
    static void choose(MyBevelButton& button, int tag)
    {
        button.Event_MouseDown(1, 1);
        for (QAction* item : button.menu()->actions())
            if (item->data().typeId() == QMetaType::Int && item->data().toInt() == tag)
                return item->trigger();
        QFAIL("no entry with that tag");
    }
    ButtonFixture fx;
};

void TestMyBevelButton::bytesWritten_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("edits"); // "+text", "+N:text" (Option, before line N), "-N"
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("caption");
    QTest::newRow("lines joined by LF, none at the end")
        << QByteArray() << "+a;+b" << QByteArray("a\nb") << "b";
    QTest::newRow("CR ends a line") << QByteArray("a\rb") << "+c" << QByteArray("a\nb\nc") << "c";
    QTest::newRow("a final line end is an empty last line")
        << QByteArray("a\r\n") << "+b" << QByteArray("a\n\nb") << "b";
    QTest::newRow("empty line kept")
        << QByteArray("a\r\n\r\nb") << "+c" << QByteArray("a\n\nb\nc") << "c";
    QTest::newRow("deleting the only line leaves 0 bytes")
        << QByteArray("a") << "-0" << QByteArray() << QString(Texts::noEntriesCaption);
    QTest::newRow("Option insert goes before the chosen line")
        << QByteArray("a\nb\nc") << "+1:x" << QByteArray("a\nx\nb\nc") << "x";
    QTest::newRow("index past the end appends")
        << QByteArray("a") << "+5:x" << QByteArray("a\nx") << "x";
    QTest::newRow("several lines dropped as one entry")
        << QByteArray("a") << "+x\ny" << QByteArray("a\nx\ny") << "x\ny";
    QTest::newRow("Latin-1 bytes survive an insert")
        << QByteArray("caf\xe9\r\n\xff") << "+n" << QByteArray("caf\xe9\n\xff\nn") << "n";
    QTest::newRow("Latin-1 bytes survive a delete") << QByteArray("caf\xe9\nmid\n\xe0\xe8") << "-1"
                                                    << QByteArray("caf\xe9\n\xe0\xe8") << "Memos";
    QTest::newRow("a second delete without a check mark removes nothing")
        << QByteArray("a\nb\nc") << "-1;-" << QByteArray("a\nc") << "Memos";
}

void TestMyBevelButton::bytesWritten()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, edits);
    QFETCH(QByteArray, written);
    QFETCH(QString, caption);
    fx.writeBytes(fx.path("m.txt"), file);
    auto button = fx.open("Memos", fx.path("m.txt"));
    for (const QString& edit : edits.split(';')) {
        if (edit == "-") {
            button->Event_MouseDown(1, 1);
            button->deleteMenuItem();
        } else if (edit.startsWith('-')) {
            choose(*button, edit.mid(1).toInt());
            button->Event_MouseDown(1, 1);
            button->Event_MenuSelected(fx.item(*button, Texts::deleteMenuItem));
        } else {
            const QString spec = edit.mid(1);
            button->isAltKey = spec.contains(':');
            button->menuInsertionIndex = spec.section(':', 0, 0).toInt();
            button->insertMenuItem(button->isAltKey ? spec.section(':', 1) : spec);
        }
    }
    QCOMPARE(fx.readBytes(fx.path("m.txt")), written);
    QCOMPARE(button->text(), caption);
    QVERIFY(fakePlatform().messages.isEmpty());
}

void TestMyBevelButton::firstStart()
{
    auto button = fx.open("Typers");
    const QString path = fx.path("Typers.txt");
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(QFileInfo(path).size(), 0);
    QCOMPARE(button->text(), QString(Texts::noEntriesCaption));
    QCOMPARE(button->toolTip(), QString(Texts::dropHint));
    button->Event_Close();
    QCOMPARE(button->getPreference(Keys::File).toString(), path);
    QVERIFY(button->getPreference(Keys::MenuItemTag).isNull());
}

void TestMyBevelButton::captions_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QVariant>("storedTag");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Bookmarks.txt") << "Bookmarks"
                                   << "Bookmarks.txt" << QVariant() << "Bookmarks";
    QTest::newRow("last extension only") << "Typers"
                                         << "my.notes.tab" << QVariant() << "my.notes";
    QTest::newRow("my.list.txt") << "Typers"
                                 << "my.list.txt" << QVariant() << "my.list";
    QTest::newRow("no dot") << "Typers"
                            << "README" << QVariant() << "README";
    QTest::newRow("ending in a dot") << "Typers"
                                     << "list." << QVariant() << "list.";
    QTest::newRow("memo at the stored selection, as stored")
        << "Memos"
        << "m.txt" << QVariant(2) << " third\tline ";
    QTest::newRow("memo selection -1") << "Memos"
                                       << "m.txt" << QVariant(-1) << "m";
    QTest::newRow("memo selection past the lines") << "Memos"
                                                   << "m.txt" << QVariant(3) << "m";
}

void TestMyBevelButton::captions()
{
    QFETCH(QString, button);
    QFETCH(QString, file);
    QFETCH(QVariant, storedTag);
    QFETCH(QString, caption);
    fx.writeBytes(fx.path(file), "first\nsecond\n third\tline ");
    App::instance()->Preferences().Set(button + "MenuItemTag", storedTag);
    auto opened = fx.open(button, fx.path(file));
    QCOMPARE(opened->text(), caption);
}

void TestMyBevelButton::drops_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("kind"); // text, link (a web address), file (as a file manager)
    QTest::addColumn<QString>("payload");
    QTest::addColumn<bool>("option");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QByteArray>("entries");
    QTest::newRow("text goes to the end, trimmed") << "Typers"
                                                   << "text"
                                                   << "  hello \n"
                                                   << false << true << QByteArray("one\nhello");
    QTest::newRow("text with Option goes to the top")
        << "Typers"
        << "text"
        << "hello" << true << true << QByteArray("hello\none");
    QTest::newRow("blank text adds an empty line")
        << "Memos"
        << "text"
        << " \t " << false << true << QByteArray("one\n");
    QTest::newRow("text on Bookmarks waits for the dialog")
        << "Bookmarks"
        << "text"
        << "https://x.org" << false << true << QByteArray("one");
    QTest::newRow("a web link counts as text")
        << "Typers"
        << "link"
        << "https://x.org/a" << false << true << QByteArray("one\nhttps://x.org/a");
    QTest::newRow("a file of another type is refused")
        << "Typers"
        << "file"
        << "notes.md" << false << false << QByteArray("one");
}

void TestMyBevelButton::drops()
{
    QFETCH(QString, button);
    QFETCH(QString, kind);
    QFETCH(QString, payload);
    QFETCH(bool, option);
    QFETCH(bool, accepted);
    QFETCH(QByteArray, entries);
    fx.writeBytes(fx.path("e.txt"), "one");
    auto target = fx.open(button, fx.path("e.txt"));
    QSignalSpy bookmarkDialog(target.get(), &MyBevelButton::bookmarkDialogRequested);
    QMimeData mime;
    if (kind == "file") {
        fx.writeBytes(fx.path(payload), "x");
        mime.setUrls({QUrl::fromLocalFile(fx.path(payload))});
        mime.setText(fx.path(payload));
    } else {
        if (kind == "link")
            mime.setUrls({QUrl(payload)});
        mime.setText(payload);
    }
    fakePlatform().altKey = option;

    target->Event_DragEnter(&mime, Qt::CopyAction);
    QCOMPARE(target->isDown(), accepted);
    target->Event_DropObject(&mime, Qt::CopyAction);
    QVERIFY(!target->isDown());
    target->Event_DragExit(nullptr, 0); // a stray exit after the drop changes nothing
    QVERIFY(!target->isDown());

    QCOMPARE(fx.readBytes(fx.path("e.txt")), entries);
    QCOMPARE(target->menuFilePath, fx.path("e.txt"));
    QCOMPARE(fakePlatform().soundsPlayed, accepted ? QStringList{"snap1.aif"} : QStringList{});
    QCOMPARE(bookmarkDialog.size(), button == "Bookmarks" ? 1 : 0);
    if (button == "Bookmarks")
        QCOMPARE(bookmarkDialog.first().first().toString(), payload);
}

void TestMyBevelButton::fileAndFolderDropsAndKeys()
{
    fx.writeBytes(fx.path("first.txt"), "a\nb");
    fx.writeBytes(fx.path("NEW.TXT"), "x\ny");
    QDir(fx.folder->path()).mkdir("lists");
    auto button = fx.open("Typers", fx.path("first.txt"));
    auto drop = [&](const QString& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        mime.setText(QUrl::fromLocalFile(path).toString());
        button->Event_DragEnter(&mime, Qt::CopyAction);
        QVERIFY(button->isDown());
        button->Event_DropObject(&mime, Qt::CopyAction);
        QVERIFY(!button->isDown());
    };

    drop(fx.path("NEW.TXT"));
    QCOMPARE(button->text(), "NEW");
    QCOMPARE(button->menuFilePath, fx.path("NEW.TXT"));
    drop(fx.path("lists"));
    QCOMPARE(button->text(), "NEW"); // a folder changes neither caption nor file
    QCOMPARE(button->menuFilePath, fx.path("NEW.TXT"));
    QCOMPARE(fakePlatform().soundsPlayed, (QStringList{"snap1.aif", "snap1.aif"}));

    button->Event_Close();
    auto& prefs = App::instance()->Preferences();
    QCOMPARE(prefs.Get("TypersFile").toString(), fx.path("NEW.TXT"));
    QCOMPARE(prefs.Get("TypersFolder").toString(), fx.path("lists"));
    QVERIFY(prefs.Get("TypersMenuItemTag").isNull());
    QCOMPARE(prefs.Get("TypersMenuAsMd5").toString(), StringModule::asMd5(QByteArray("x\ny")));

    // A selection made in the earlier file is never stored for the dropped one.
    button->Event_MouseDown(1, 1); // reads NEW.TXT
    button->Event_MenuSelected(fx.item(*button, "x"));
    drop(fx.path("first.txt"));
    button->Event_MouseDown(1, 1);
    button->Event_Close();
    QCOMPARE(prefs.Get("TypersMenuItemTag"), QVariant(qint64(-1)));
    QCOMPARE(prefs.Get("TypersMenuAsMd5").toString(), StringModule::asMd5(QByteArray("a\nb")));
}

void TestMyBevelButton::missingFolderChainCreatedExactly()
{
    const QString path = fx.path("a b/\"q\" $HOME/`touch x`/Typers.txt");
    App::instance()->Preferences().Set("TypersMenuString", "one\ntwo");
    auto button = fx.open("Typers", path);
    QCOMPARE(fx.readBytes(path), QByteArray("one\ntwo"));
    QCOMPARE(button->menuEntries, (QByteArrayList{"one", "two"}));
    QVERIFY(!QFileInfo::exists("x"));
}

void TestMyBevelButton::unreadableFileLeftUntouched_data()
{
    QTest::addColumn<QString>("what");
    QTest::newRow("a folder in its place") << "folder";
    QTest::newRow("a link to nothing") << "link";
    QTest::newRow("no permission") << "mode";
}

void TestMyBevelButton::unreadableFileLeftUntouched()
{
    QFETCH(QString, what);
    const QString path = fx.path("e.txt");
    if (what == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (what == "link") {
        QVERIFY(QFile::link(fx.path("gone.txt"), path));
    } else {
        if (geteuid() == 0)
            QSKIP("root reads any file");
        fx.writeBytes(path, "kept");
        QFile(path).setPermissions(QFileDevice::WriteOwner);
    }
    App::instance()->Preferences().Set("TypersMenuString", "stale copy");
    auto button = fx.open("Typers", path);
    QCOMPARE(fakePlatform().messages.size(), 1);
    QVERIFY(fakePlatform().messages.first().contains(path));

    button->Event_MouseDown(1, 1); // still usable, and the failure is not shown again
    QVERIFY(fx.item(*button, Texts::chooseFile));
    QCOMPARE(fakePlatform().messages.size(), 1);
    button->insertMenuItem("new entry");
    QCOMPARE(fakePlatform().messages.size(), 2);

    QCOMPARE(QFileInfo(path).isDir(), what == "folder");
    QCOMPARE(QFileInfo(path).isSymLink(), what == "link");
    QVERIFY(!QFileInfo::exists(fx.path("gone.txt")));
    if (what == "mode") {
        QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(fx.readBytes(path), QByteArray("kept"));
    }
}

void TestMyBevelButton::failedWriteKeepsOldFile()
{
    fx.writeBytes(fx.path("t.txt"), "a\nb");
    auto button = fx.open("Typers", fx.path("t.txt"));
    // A file-size limit makes the write fail even for root.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4;
    setrlimit(RLIMIT_FSIZE, &small);
    button->insertMenuItem("c");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(fx.readBytes(fx.path("t.txt")), QByteArray("a\nb"));
    QCOMPARE(button->menuEntries, (QByteArrayList{"a", "b"}));
    QCOMPARE(fakePlatform().messages.size(), 1);
    QVERIFY(fakePlatform().messages.first().contains(fx.path("t.txt")));
    QCOMPARE(QDir(fx.folder->path()).entryList(QDir::Files), QStringList{"t.txt"});
}

void TestMyBevelButton::insertAfterSwitchGoesToNewFile()
{
    fx.writeBytes(fx.path("a.txt"), "a1\na2");
    fx.writeBytes(fx.path("b.txt"), "b1");
    App::instance()->Preferences().Set("MemosFolder", fx.folder->path());
    auto button = fx.open("Memos", fx.path("a.txt"));
    choose(*button, 0);
    button->Event_MouseDown(1, 1);
    button->Event_MenuSelected(fx.item(*button, "b.txt")); // b.txt is not read yet
    QCOMPARE(button->text(), "b");
    button->insertMenuItem("x");
    QCOMPARE(fx.readBytes(fx.path("b.txt")), QByteArray("b1\nx"));
    QCOMPARE(fx.readBytes(fx.path("a.txt")), QByteArray("a1\na2"));
}

KELVORA_TEST_MAIN(TestMyBevelButton)
#include "tst_mybevelbutton.moc"
