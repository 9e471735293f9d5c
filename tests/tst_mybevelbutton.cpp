#include "app/stringmodule.h"
#include "app/texts.h"
#include "tests/buttonfixture.h"

#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QSignalSpy>
#include <QStringEncoder>

#include <sys/stat.h>
#include <unistd.h>

// The entry button's file, edits, drops and keys: the bytes that reach the entries file, the
// captions shown, the keys stored at quit, and that no failure loses or overwrites a file.
class TestMyBevelButton : public QObject
{
    Q_OBJECT
private slots:
    void init() { fx.reset(); }
    void bytesWritten_data()
    {
        QTest::addColumn<QByteArray>("file");
        // "+text", "+N:text" (Option, at index N), "-text" (chosen, then deleted), "?text"
        // (chosen), "#N" and "^N" (entry N chosen, with the Option key for ^), "=bytes" (the
        // file saved outside), "x" (the delete item of the menu shown)
        QTest::addColumn<QString>("edits");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("reported");
        const auto row = [](const char* name, const QByteArray& file, const QString& edits,
                            const QByteArray& written, const QString& caption,
                            bool reported = false) {
            QTest::newRow(name) << file << edits << written << caption << reported;
        };
        row("lines joined by LF, none at the end", "", "+a;+b", "a\nb", "b");
        row("CR ends a line", "a\rb", "+c", "a\nb\nc", "c");
        row("a final CRLF is an empty last line", "a\r\n", "+b", "a\n\nb", "b");
        row("deleting the only line leaves 0 bytes", "a", "-a", "", Texts::noEntriesCaption);
        row("index past the end appends", "a", "+5:x", "a\nx", "x");
        row("several lines dropped as one entry", "a", "+x\ny", "a\nx\ny", "x\ny");
        row("Latin-1 bytes survive a delete and an insert", "caf\xe9\r\nmid\n\xe0\xe8", "-mid;+n",
            "caf\xe9\n\xe0\xe8\nn", "n");
        // "-" alone: a delete with no entry checked in the menu shown.
        row("a second delete without a check mark removes nothing", "a\nb\nc", "-b;-", "a\nc",
            "Memos");
        row("an insert keeps an outside edit", "a\nb", "=a\nb\nedited outside;+dropped",
            "a\nb\nedited outside\ndropped", "dropped");
        row("a line moved outside is deleted where it stands", "a\nb\nc", "?b;=new\na\nb\nc;x",
            "new\na\nc", "Memos");
        row("a line gone outside is not deleted, and that is said", "a\nb", "?b;=a\nc;x", "a\nc",
            "b", true);
        row("of two equal lines the chosen one is deleted after a line was added above", "x\ny\nx",
            "#2;=n\nx\ny\nx;x", "n\nx\ny", "Memos");
        row("a Shift-insert goes before the chosen line after a line was added above", "a\nb",
            "^1;=n\na\nb;+new", "n\na\nnew\nb", "new");
        // Shown as read, never written: a file in another encoding, or holding NUL bytes.
        const QByteArray wide = wideText();
        row("a UTF-16 file is shown, and a drop on it refused", wide, "?čeština;+added", wide,
            "čeština", true);
        const QByteArray nul("one\0\ntwo", 8);
        row("a file holding NUL bytes refuses a delete", nul, "-two", nul, "two", true);
        // Longer than a menu shows: the whole file is edited.
        QByteArrayList lines;
        for (qsizetype i = 0; i < MyBevelButton::menuEntryLimit + 2; ++i)
            lines << "e" + QByteArray::number(i);
        const QByteArray longFile = lines.join('\n');
        lines.removeAt(1);
        row("a long file keeps its lines not shown", longFile, "-e1;+new",
            lines.join('\n') + "\nnew", "new");
    }

    void bytesWritten()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, edits);
        QFETCH(QByteArray, written);
        QFETCH(QString, caption);
        QFETCH(bool, reported);
        auto button = fx.openOn("Memos", file);
        QVERIFY(button);
        for (const QString& edit : edits.split(';')) {
            const QString text = edit.mid(1);
            if (edit.startsWith('?')) {
                QVERIFY(fx.choose(*button, text));
            } else if (edit.startsWith('#') || edit.startsWith('^')) {
                fakePlatform().optionKey = edit.startsWith('^');
                button->Event_MouseDown(1, 1);
                // Entry items come first, one for each line.
                button->menu()->actions().at(text.toInt())->trigger();
                fakePlatform().optionKey = false;
            } else if (edit.startsWith('=')) {
                QVERIFY(fx.writeBytes(fx.path("e.txt"), text.toUtf8()));
            } else if (edit == "x") {
                button->deleteMenuItem();
            } else if (edit == "-") {
                button->Event_MouseDown(1, 1);
                button->deleteMenuItem();
            } else if (edit.startsWith('-')) {
                QVERIFY(fx.choose(*button, text));
                QVERIFY(fx.choose(*button, Texts::deleteMenuItem));
            } else {
                const bool altKey = text.contains(':');
                if (altKey)
                    button->setInsertion(true, text.section(':', 0, 0).toInt());
                button->insertMenuItem(altKey ? text.section(':', 1) : text);
            }
        }
        QCOMPARE(fx.entries(), written);
        QCOMPARE(button->text(), caption);
        QCOMPARE(fakePlatform().messages.size(), reported ? 1 : 0);
        if (reported)
            QVERIFY(fakePlatform().messages.first().contains(fx.path("e.txt")));
    }

    void firstStart()
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

    void captions_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QVariant>("storedTag");
        QTest::addColumn<QString>("caption");
        const auto row = [](const char* name, const char* button, const char* file,
                            const QVariant& tag, const QString& caption) {
            QTest::newRow(name) << button << file << tag << caption;
        };
        row("last extension only, a typer's selection unused", "Typers", "my.notes.tab", 0,
            "my.notes");
        row("no dot", "Typers", "README", {}, "README");
        row("ending in a dot", "Typers", "list.", {}, "list.");
        row("memo at the stored selection, as stored", "Memos", "m.txt", 2, " third\tline ");
        row("memo selection -1", "Memos", "m.txt", -1, "m");
        row("memo selection past the lines", "Memos", "m.txt", 3, "m");
    }

    void captions()
    {
        QFETCH(QString, button);
        QFETCH(QString, file);
        QFETCH(QVariant, storedTag);
        QFETCH(QString, caption);
        QVERIFY(fx.writeBytes(fx.path(file), "first\nsecond\n third\tline "));
        App::instance()->Preferences().Set(button + "MenuItemTag", storedTag);
        QCOMPARE(fx.open(button, fx.path(file))->text(), caption);
    }

    void drops_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("kind"); // text, link (a web address), file (as a file manager)
        QTest::addColumn<QString>("payload");
        QTest::addColumn<bool>("option");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QByteArray>("entries");
        const auto row = [](const char* name, const char* button, const char* kind,
                            const char* payload, bool option, bool accepted, const char* entries) {
            QTest::newRow(name) << button << kind << payload << option << accepted
                                << QByteArray(entries);
        };
        row("text goes to the end, trimmed", "Typers", "text", "  hello \n", false, true,
            "one\nhello");
        row("text with Option goes to the top", "Typers", "text", "hello", true, true,
            "hello\none");
        row("blank text adds an empty line", "Memos", "text", " \t ", false, true, "one\n");
        row("text on Bookmarks waits for the dialog", "Bookmarks", "text", "https://x.org", false,
            true, "one");
        row("a web link counts as text", "Typers", "link", "https://x.org/a", false, true,
            "one\nhttps://x.org/a");
        row("a file of another type is refused", "Typers", "file", "notes.md", false, false, "one");
        // "gone": deleted with its folder between the hover and the drop.
        row("a file gone at the drop is refused", "Typers", "gone", "sub/a.txt", false, true,
            "one");
    }

    void drops()
    {
        QFETCH(QString, button);
        QFETCH(QString, kind);
        QFETCH(QString, payload);
        QFETCH(bool, option);
        QFETCH(bool, accepted);
        QFETCH(QByteArray, entries);
        auto target = fx.openOn(button, "one");
        QVERIFY(target);
        QSignalSpy bookmarkDialog(target.get(), &MyBevelButton::bookmarkDialogRequested);
        QMimeData mime;
        if (kind == "file" || kind == "gone") {
            QDir().mkpath(QFileInfo(fx.path(payload)).path());
            QVERIFY(fx.writeBytes(fx.path(payload), "x"));
            mime.setUrls({QUrl::fromLocalFile(fx.path(payload))});
            mime.setText(fx.path(payload));
        } else {
            if (kind == "link")
                mime.setUrls({QUrl(payload)});
            mime.setText(payload);
        }
        fakePlatform().optionKey = option;

        // Shift held, as in a drag of text out of an editor built on Qt: the source proposes a
        // move, and would delete the text from the user's document if the move were accepted.
        // Whether the move was proposed, the event taken as expected and a copy asked for.
        const auto send = [&](QDropEvent&& event, bool taken) {
            const bool moveProposed = event.proposedAction() == Qt::MoveAction;
            QCoreApplication::sendEvent(target.get(), &event);
            return moveProposed && event.isAccepted() == taken &&
                   event.dropAction() == Qt::CopyAction;
        };
        const auto actions = Qt::CopyAction | Qt::MoveAction;
        const auto shift = Qt::ShiftModifier;
        QVERIFY(send(QDragEnterEvent({1, 1}, actions, &mime, Qt::LeftButton, shift), accepted));
        QCOMPARE(target->isDown(), accepted);
        if (kind == "gone")
            QVERIFY(QDir(fx.path("sub")).removeRecursively());
        if (accepted) {
            QVERIFY(send(QDragMoveEvent({2, 2}, actions, &mime, Qt::LeftButton, shift), true));
            QVERIFY(send(QDropEvent({2, 2}, actions, &mime, Qt::LeftButton, shift), true));
        } else {
            target->Event_DropObject(&mime, Qt::CopyAction); // Qt would not deliver it
        }
        QVERIFY(!target->isDown());
        target->Event_DragExit(nullptr, 0); // a stray exit after the drop changes nothing
        QVERIFY(!target->isDown());

        QCOMPARE(fx.entries(), entries);
        QCOMPARE(target->menuFilePath(), fx.path("e.txt"));
        QVERIFY(!QFileInfo::exists(fx.path("sub")));
        QCOMPARE(fakePlatform().messages.size(), kind == "gone" ? 1 : 0);
        const bool taken = accepted && kind != "gone";
        QCOMPARE(fakePlatform().soundsPlayed, taken ? QStringList{"snap1.aif"} : QStringList{});
        QCOMPARE(bookmarkDialog.size(), button == "Bookmarks" ? 1 : 0);
        if (button == "Bookmarks")
            QCOMPARE(bookmarkDialog.first().first().toString(), payload);
    }

    void fileAndFolderDropsAndKeys()
    {
        QVERIFY(fx.writeBytes(fx.path("NEW.TXT"), "x\ny"));
        QDir(fx.folder->path()).mkdir("lists");
        auto button = fx.openOn("Typers", "a\nb");
        QVERIFY(button);
        // Whether the button was down while the drag was over it, and up after the drop.
        auto drop = [&](const QString& path) {
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(path)});
            mime.setText(QUrl::fromLocalFile(path).toString());
            button->Event_DragEnter(&mime, Qt::CopyAction);
            const bool downWhileOver = button->isDown();
            button->Event_DropObject(&mime, Qt::CopyAction);
            return downWhileOver && !button->isDown();
        };

        QVERIFY(drop(fx.path("NEW.TXT")));
        QVERIFY(drop(fx.path("lists"))); // a folder changes neither caption nor file
        QCOMPARE(button->text(), "NEW");
        QCOMPARE(button->menuFilePath(), fx.path("NEW.TXT"));
        QCOMPARE(fakePlatform().soundsPlayed, (QStringList{"snap1.aif", "snap1.aif"}));

        button->Event_Close();
        auto& prefs = App::instance()->Preferences();
        QCOMPARE(prefs.Get("TypersFile").toString(), fx.path("NEW.TXT"));
        QCOMPARE(prefs.Get("TypersFolder").toString(), fx.path("lists"));
        QVERIFY(prefs.Get("TypersMenuItemTag").isNull());
        QCOMPARE(prefs.Get("TypersMenuAsMd5").toString(), StringModule::asMd5(QByteArray("x\ny")));

        // A selection made in the earlier file is never stored for the dropped one.
        QVERIFY(fx.choose(*button, "x"));
        QVERIFY(drop(fx.path("e.txt")));
        button->Event_MouseDown(1, 1);
        button->Event_Close();
        QCOMPARE(prefs.Get("TypersMenuItemTag"), QVariant(qint64(-1)));
        QCOMPARE(prefs.Get("TypersMenuAsMd5").toString(), StringModule::asMd5(QByteArray("a\nb")));
    }

    void missingFolderChainCreatedExactly()
    {
        const QString path = fx.path("a b/\"q\" $HOME/`touch x`/Typers.txt");
        App::instance()->Preferences().Set("TypersMenuString", "one\ntwo");
        auto button = fx.open("Typers", path);
        QCOMPARE(fx.readBytes(path), QByteArray("one\ntwo"));
        QCOMPARE(button->menuEntries(), (QByteArrayList{"one", "two"}));
        QVERIFY(!QFileInfo::exists("x"));
    }

    void restoredFromStoredCopyByteForByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("copied"); // else no copy is kept, nor an earlier text's
        QTest::newRow("Latin-1") << QByteArray("caf\xe9\nna\xefve") << true;
        QTest::newRow("UTF-8 and Latin-1 mixed") << QByteArray("caf\xc3\xa9 caf\xe9") << true;
        QTest::newRow("UTF-8 beyond U+FFFF")
            << QByteArray("\xf0\x90\x82\x80 \xf0\x9f\x98\x80") << true;
        QTest::newRow("past the copy's limit") << QByteArray("entry\n").repeated(200000) << false;
        QTest::newRow("UTF-16") << wideText() << false;
    }

    void restoredFromStoredCopyByteForByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, copied);
        App::instance()->Preferences().Set("MemosMenuString", "earlier text");
        fx.openOn("Memos", bytes)->Event_Close();
        // The copy passes through the preferences file, as from one run to the next.
        App& app = *App::instance();
        QVERIFY(app.Event_Close());
        QVERIFY(QFile::remove(fx.path("e.txt")));
        app.Event_Open();
        QVERIFY(QFile::remove(app.Preferences().filePath()));
        fx.open("Memos");
        QCOMPARE(fx.entries(), copied ? bytes : QByteArray());
    }

    void unreadableFileLeftUntouched_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("a folder in its place") << "folder";
        QTest::newRow("a link to nothing") << "link";
        QTest::newRow("no permission") << "mode";
        QTest::newRow("a FIFO, which would never end") << "fifo";
    }

    void unreadableFileLeftUntouched()
    {
        QFETCH(QString, what);
        const QString path = fx.path("e.txt");
        if (what == "folder") {
            QVERIFY(QDir().mkdir(path));
        } else if (what == "link") {
            QVERIFY(QFile::link(fx.path("gone.txt"), path));
        } else if (what == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            if (geteuid() == 0)
                QSKIP("root reads any file");
            QVERIFY(fx.writeBytes(path, "kept"));
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
        QCOMPARE(QFileInfo(path).isFile(), what == "mode");
        QVERIFY(!QFileInfo::exists(fx.path("gone.txt")));
        if (what == "mode") {
            QFile(path).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QCOMPARE(fx.readBytes(path), QByteArray("kept"));
        }
    }

    void writtenInPlaceWhereNeeded_data()
    {
        QTest::addColumn<bool>("readOnlyFolder"); // else the file has a second name
        QTest::newRow("a writable file in a read-only folder") << true;
        QTest::newRow("a file with a second name (hard link)") << false;
    }

    void writtenInPlaceWhereNeeded()
    {
        QFETCH(bool, readOnlyFolder);
        auto button = fx.openOn("Typers", "a");
        QVERIFY(button);
        const QByteArray folder = QFile::encodeName(fx.folder->path());
        if (readOnlyFolder) {
            // Root creates files in any folder: the write then runs as nobody.
            ::chmod(QFile::encodeName(testEnvironment().home()), 0711);
            ::chmod(folder, 0555);
            ::chmod(QFile::encodeName(fx.path("e.txt")), 0666);
            if (getuid() == 0)
                QCOMPARE(::seteuid(65534), 0);
        } else {
            QVERIFY(linkSecondName());
        }
        button->insertMenuItem("b");
        if (getuid() == 0)
            QCOMPARE(::seteuid(0), 0);
        ::chmod(folder, 0700);

        QCOMPARE(fakePlatform().messages, QStringList{});
        QCOMPARE(fx.entries(), QByteArray("a\nb"));
        if (!readOnlyFolder)
            QCOMPARE(fx.readBytes(fx.path("second.txt")), QByteArray("a\nb"));
    }

    void failedWriteKeepsOldFile_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::newRow("through a temporary file") << QStringList{"e.txt"};
        QTest::newRow("in place (a hard link)") << QStringList{"e.txt", "second.txt"};
    }

    void failedWriteKeepsOldFile()
    {
        QFETCH(QStringList, files);
        auto button = fx.openOn("Typers", "a\nb");
        QVERIFY(button);
        if (files.size() > 1)
            QVERIFY(linkSecondName());
        underFileSizeLimit(4, [&] { button->insertMenuItem("c"); });

        QCOMPARE(button->menuEntries(), (QByteArrayList{"a", "b"}));
        QCOMPARE(fakePlatform().messages.size(), 1);
        QVERIFY(fakePlatform().messages.first().contains(fx.path("e.txt")));
        QCOMPARE(QDir(fx.folder->path()).entryList(QDir::Files), files);
        for (const QString& name : files)
            QCOMPARE(fx.readBytes(fx.path(name)), QByteArray("a\nb"));
    }

    void insertAfterSwitchGoesToNewFile()
    {
        QVERIFY(fx.writeBytes(fx.path("b.txt"), "b1"));
        App::instance()->Preferences().Set("MemosFolder", fx.folder->path());
        auto button = fx.openOn("Memos", "a1\na2");
        QVERIFY(button);
        QVERIFY(fx.choose(*button, "a1"));
        QVERIFY(fx.choose(*button, "b.txt")); // b.txt is not read yet
        QCOMPARE(button->text(), "b");
        button->insertMenuItem("x");
        QCOMPARE(fx.readBytes(fx.path("b.txt")), QByteArray("b1\nx"));
        QCOMPARE(fx.entries(), QByteArray("a1\na2"));
    }

private:
    // Two memos saved as UTF-16 with a byte-order mark and CR LF line ends.
    static QByteArray wideText()
    {
        return QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom)
            .encode(u"čeština\r\nkonec");
    }
    // e.txt gets the second name second.txt.
    [[nodiscard]] bool linkSecondName()
    {
        return ::link(QFile::encodeName(fx.path("e.txt")),
                      QFile::encodeName(fx.path("second.txt"))) == 0;
    }
    ButtonFixture fx;
};

KELVORA_TEST_MAIN(TestMyBevelButton)
#include "tst_mybevelbutton.moc"
