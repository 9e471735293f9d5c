#include "app/folderitemmodule.h"
#include "app/stringmodule.h"
#include "buttons/entriesfilemodule.h"
#include "tests/buttonfixture.h"

// What a press on an unchanged file costs Kelvora itself (reading the entries file, digesting
// it, finding the menu shown before still holds), against the floor of reading and digesting
// the same file alone, and what the first press on a file costs (opening the button, reading
// the file and building its menu), for 100 to 1,000,000 lines. What the user waits for, the menu
// laid out and shown, and the memory it takes are measured by bench/menu.sh.
class BenchBuildMenu : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { fx.reset(); }
    void pressPath_data() { lineCounts(); }
    void pressPath();
    void readAndDigest_data() { lineCounts(); }
    void readAndDigest();
    void firstPress_data() { lineCounts(); }
    void firstPress();

private:
    static void lineCounts()
    {
        QTest::addColumn<int>("lines");
        QTest::newRow("100 lines") << 100;
        QTest::newRow("1,000 lines") << 1000;
        QTest::newRow("10,000 lines") << 10000;
        QTest::newRow("100,000 lines") << 100000;
        QTest::newRow("1,000,000 lines") << 1000000;
    }
    // Bookmarks, the costliest kind: every other line has no address and becomes a search. The
    // file's path, or nothing when it cannot be written.
    QString writeEntries(int lines)
    {
        QByteArray text;
        for (int i = 0; i < lines; ++i) {
            if (i > 0)
                text += '\n';
            text += i % 10 == 9 ? QByteArray() : "Bookmark number " + QByteArray::number(i);
            if (i % 2 == 0)
                text += "\thttps://example.org/pages/" + QByteArray::number(i);
        }
        const QString path = fx.path(QString("b%1.txt").arg(lines));
        return fx.writeBytes(path, text) ? path : QString();
    }
    ButtonFixture fx;
};

void BenchBuildMenu::pressPath()
{
    QFETCH(int, lines);
    const QString entries = writeEntries(lines);
    QVERIFY(!entries.isEmpty());
    auto button = fx.open("Bookmarks", entries);
    button->Event_MouseDown(1, 1); // the first press builds the menu
    QBENCHMARK
    {
        button->Event_MouseDown(1, 1);
    }
    QCOMPARE(button->menuEntries().size(), lines);
}

void BenchBuildMenu::readAndDigest()
{
    QFETCH(int, lines);
    const QString path = writeEntries(lines);
    QVERIFY(!path.isEmpty());
    QString digest;
    QBENCHMARK
    {
        QByteArray text;
        QString problem;
        QVERIFY(FolderItemModule::readFile(path, &text, &problem));
        text = EntriesFileModule::normalizeLineEnds(std::move(text));
        const QList<QByteArray> entries = EntriesFileModule::splitLines(text);
        digest = StringModule::asMd5(text);
        QCOMPARE(entries.size(), lines);
    }
}

void BenchBuildMenu::firstPress()
{
    QFETCH(int, lines);
    const QString entries = writeEntries(lines);
    QVERIFY(!entries.isEmpty());
    qsizetype shown = 0;
    QBENCHMARK
    {
        auto button = fx.open("Bookmarks", entries);
        button->Event_MouseDown(1, 1);
        shown = button->menu()->actions().size();
    }
    QVERIFY(shown > qMin<qsizetype>(lines, MyBevelButton::menuEntryLimit));
}

KELVORA_TEST_MAIN(BenchBuildMenu)
#include "bench_buildmenu.moc"
