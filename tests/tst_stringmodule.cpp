#include "app/folderitemmodule.h"
#include "app/stringmodule.h"
#include "tests/testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// The string and file helpers every other area builds on.
class TestStringModule : public QObject
{
    Q_OBJECT
private slots:
    void regExTest_data();
    void regExTest();
    void regExMatch();
    void replace_data();
    void replace();
    void asMd5();
    void escapeDoubleQuote();
    void hasExtension_data();
    void hasExtension();
    void writeFile();
};

void TestStringModule::regExTest_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<bool>("expected");
    QTest::newRow("mem in Memos, case ignored") << "mem"
                                                << "Memos" << false << true;
    QTest::newRow("mem in Memos, case respected") << "mem"
                                                  << "Memos" << true << false;
    QTest::newRow("unanchored search") << "typ"
                                       << "MyTypers" << false << true;
    QTest::newRow("invalid pattern is no match") << "("
                                                 << "(" << false << false;
}

void TestStringModule::regExTest()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, caseSensitive);
    QFETCH(bool, expected);
    QCOMPARE(StringModule::regExTest(pattern, text, caseSensitive), expected);
}

void TestStringModule::regExMatch()
{
    QVERIFY(!StringModule::regExMatch("x", "banana", false).has_value());
    const auto match = StringModule::regExMatch("(an)(a)", "banana", true);
    QVERIFY(match.has_value());
    QCOMPARE(match->captured(0), QString("ana"));
    QCOMPARE(match->captured(2), QString("a"));
    QCOMPARE(match->capturedStart(0), 1);
}

void TestStringModule::replace_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("all");
    QTest::newRow("banana") << "a"
                            << "b"
                            << "banana"
                            << "bbnana"
                            << "bbnbnb";
    QTest::newRow("no match leaves text") << "x"
                                          << "y"
                                          << "banana"
                                          << "banana"
                                          << "banana";
    QTest::newRow("case ignored") << "A"
                                  << "o"
                                  << "banana"
                                  << "bonana"
                                  << "bonono";
    QTest::newRow("group references") << "(b)(a)"
                                      << "\\2\\1"
                                      << "baba"
                                      << "abba"
                                      << "abab";
    QTest::newRow("whole match \\0") << "an"
                                     << "[\\0]"
                                     << "banana"
                                     << "b[an]ana"
                                     << "b[an][an]a";
    QTest::newRow("doubled backslash is one") << "\""
                                              << "\\\\\""
                                              << "a\"b"
                                              << "a\\\"b"
                                              << "a\\\"b";
    QTest::newRow("dollar is literal") << "a"
                                       << "$1"
                                       << "ba"
                                       << "b$1"
                                       << "b$1";
    QTest::newRow("missing group is empty") << "a"
                                            << "<\\5>"
                                            << "a"
                                            << "<>"
                                            << "<>";
    QTest::newRow("empty text") << "a"
                                << "b"
                                << ""
                                << ""
                                << "";
}

void TestStringModule::replace()
{
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(QString, text);
    QFETCH(QString, first);
    QFETCH(QString, all);
    QCOMPARE(StringModule::regExReplace(pattern, replacement, text, false), first);
    QCOMPARE(StringModule::regExReplaceAll(pattern, replacement, text, false), all);
}

void TestStringModule::asMd5()
{
    QCOMPARE(StringModule::asMd5(QString()), QString("d41d8cd98f00b204e9800998ecf8427e"));
    QCOMPARE(StringModule::asMd5(QString("a\nb")), StringModule::asMd5(QByteArray("a\nb")));
    QCOMPARE(StringModule::asMd5(QByteArray("\xe9t\xe9")),
             QString("70b06e3087350c8c4fc3f13e741879f3"));
}

void TestStringModule::escapeDoubleQuote()
{
    QCOMPARE(StringModule::escapeDoubleQuote("say \"hi\""), QString("say \\\\\"hi\\\\\""));
    QCOMPARE(StringModule::escapeDoubleQuote("back\\slash"), QString("back\\slash"));
}

void TestStringModule::hasExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isFolder");
    QTest::addColumn<bool>("expected");
    QTest::newRow("upper-case TXT") << "Notes.TXT" << false << true;
    QTest::newRow("txt.bak") << "notes.txt.bak" << false << false;
    QTest::newRow("no extension") << "notes" << false << false;
    QTest::newRow("txt inside the name") << "mytxt" << false << false;
    QTest::newRow("folder named anything") << "folder.md" << true << true;
}

void TestStringModule::hasExtension()
{
    QFETCH(QString, name);
    QFETCH(bool, isFolder);
    QFETCH(bool, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (isFolder)
        QVERIFY(QDir().mkpath(path));
    QCOMPARE(FolderItemModule::hasExtension(path, "txt"), expected);
}

void TestStringModule::writeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("entries.txt");
    App& app = *App::instance();

    QVERIFY(app.writeFile(path, "a much longer text than the next one"));
    QVERIFY(app.writeFile(path, "short"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("short"));
    file.close();

    QVERIFY(app.writeFile(path, QByteArray()));
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFileInfo(path).size(), 0);

    // A write that cannot happen says why and leaves no file behind.
    QString error;
    QVERIFY(!app.writeFile(dir.filePath("missing/folder/x.txt"), "x", &error));
    QVERIFY(!error.isEmpty());

    // A linked entries file stays a link; its target receives the bytes.
    const QString target = dir.filePath("target.txt");
    const QString link = dir.filePath("link.txt");
    QVERIFY(app.writeFile(target, "old"));
    QVERIFY(QFile::link(target, link));
    QVERIFY(app.writeFile(link, "new"));
    QVERIFY(QFileInfo(link).isSymLink());
    QFile linked(target);
    QVERIFY(linked.open(QIODevice::ReadOnly));
    QCOMPARE(linked.readAll(), QByteArray("new"));
}

KELVORA_TEST_MAIN(TestStringModule)
#include "tst_stringmodule.moc"
