#include "app/preferences.h"
#include "tests/testsupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

// The preferences store through a real file: what is written, what comes back, and that an
// unreadable file is never destroyed.
class TestPreferences : public QObject
{
    Q_OBJECT
private slots:
    void firstStartCreatesFolder();
    void roundTrip();
    void fileForm();
    void blankFiles_data();
    void blankFiles();
    void unreadableFileIsKept_data();
    void unreadableFileIsKept();
    void unwritableSaveIsReported();
    void wrongTypesCountAsAbsent();

private:
    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    [[nodiscard]] static bool writeAll(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
};

void TestPreferences::firstStartCreatesFolder()
{
    // The data folder comes from XDG_DATA_HOME, which the test harness points at a temporary
    // folder.
    PreferencesModule::Preferences store(QStringLiteral("Kelvora"));
    QCOMPARE(store.filePath(), testEnvironment().dataHome() + "/Kelvora/Kelvora.js");
    QVERIFY(QFileInfo(testEnvironment().dataHome() + "/Kelvora").isDir());
    QVERIFY(!store.Get("initDate").isValid());
    QVERIFY(store.loadProblem().isEmpty());
}

void TestPreferences::roundTrip()
{
    QTemporaryDir dir;
    {
        PreferencesModule::Preferences store(dir.path(), "Kelvora");
        store.Set("five", qint64(5));
        store.Set("initDate", qint64(1765000000));
        store.Set("CurrentBevelButton", QVariant());
        store.Set("isStartupItem", true);
        store.Set("TypersFile", QStringLiteral("/home/u/Typers \"x\".txt"));
        QVERIFY(store.Save());
    }
    PreferencesModule::Preferences store(dir.path(), "Kelvora");
    QCOMPARE(store.Get("five").toLongLong(), 5);
    QCOMPARE(store.Get("five").typeId(), QMetaType::LongLong);
    QCOMPARE(store.Get("initDate").toLongLong(), 1765000000);
    QVERIFY(!store.Get("CurrentBevelButton").isValid());
    QCOMPARE(store.Get("isStartupItem"), QVariant(true));
    QCOMPARE(store.Get("TypersFile").toString(), QString("/home/u/Typers \"x\".txt"));
    QVERIFY(!store["missing"].isValid());

    // A nil value keeps its key, written as null.
    const QJsonObject object = QJsonDocument::fromJson(readAll(store.filePath())).object();
    QVERIFY(object.contains("CurrentBevelButton"));
    QVERIFY(object.value("CurrentBevelButton").isNull());
}

void TestPreferences::fileForm()
{
    QTemporaryDir dir;
    PreferencesModule::Preferences store(dir.path(), "Kelvora");
    QVERIFY(store.Save());
    QCOMPARE(readAll(store.filePath()), QByteArray("{}"));

    store.Set("windowSize", QStringLiteral("Max"));
    QVERIFY(store.Save());
    const QByteArray text = readAll(store.filePath());
    QCOMPARE(text, QByteArray("{\n    \"windowSize\": \"Max\"\n}"));
}

void TestPreferences::blankFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("whitespace only") << QByteArray(" \n\t \r\n");
}

void TestPreferences::blankFiles()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath("Kelvora.js"), content));
    PreferencesModule::Preferences store(dir.path(), "Kelvora");
    QVERIFY(store.loadProblem().isEmpty());
    QVERIFY(!store.Get("initDate").isValid());
    QVERIFY(!QFile::exists(dir.filePath("Kelvora.js.unreadable")));
}

void TestPreferences::unreadableFileIsKept_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("invalid JSON") << QByteArray("{\"initDate\": 17");
    QTest::newRow("an array") << QByteArray("[1, 2]");
    QTest::newRow("not JSON at all") << QByteArray("hello");
}

void TestPreferences::unreadableFileIsKept()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath("Kelvora.js"), content));
    {
        PreferencesModule::Preferences store(dir.path(), "Kelvora");
        QVERIFY(!store.loadProblem().isEmpty());
        QVERIFY(store.loadProblem().contains("Kelvora.js.unreadable"));
        QVERIFY(!store.Get("initDate").isValid());
        store.Set("initDate", qint64(1));
        QVERIFY(store.Save());
    }
    QCOMPARE(readAll(dir.filePath("Kelvora.js.unreadable")), content);
    // A second bad file does not replace the first one kept aside.
    QVERIFY(writeAll(dir.filePath("Kelvora.js"), "second"));
    PreferencesModule::Preferences again(dir.path(), "Kelvora");
    QCOMPARE(readAll(dir.filePath("Kelvora.js.unreadable")), content);
    QCOMPARE(QDir(dir.path()).entryList({"Kelvora.js.unreadable*"}).size(), 2);
}

void TestPreferences::unwritableSaveIsReported()
{
    QTemporaryDir dir;
    PreferencesModule::Preferences store(dir.path() + "/sub", "Kelvora");
    // A save that fails for want of room leaves the old file whole, and nothing beside it.
    QVERIFY(writeAll(store.filePath(), "{}"));
    store.Set("TypersMenuString", QString(4096, 'x'));
    QString error;
    bool saved = true;
    underFileSizeLimit(64, [&] { saved = store.Save(&error); });
    QVERIFY(!saved);
    QCOMPARE(readAll(store.filePath()), QByteArray("{}"));
    QCOMPARE(QDir(dir.path() + "/sub").entryList(QDir::Files), QStringList{"Kelvora.js"});
    // A folder where the file should be makes the save fail; the reason names the path.
    QVERIFY(QFile::remove(store.filePath()) && QDir().mkpath(store.filePath()));
    QVERIFY(!store.Save(&error));
    QVERIFY(error.contains(store.filePath()));
}

void TestPreferences::wrongTypesCountAsAbsent()
{
    // Every key of the program, each holding a type it never stores.
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath("Kelvora.js"),
                     R"({"initDate": "1765000000", "isStartupItem": 1, "CurrentBevelButton": 5,
                 "windowSize": true, "windowMaxLeft": "3", "windowMinTop": 2.5,
                 "BookmarksFile": 5, "TypersFile": true, "MemosFolder": ["/tmp"],
                 "TypersMenuAsMd5": 1, "MemosMenuItemTag": "2", "BookmarksMenuString": {}})"));
    PreferencesModule::Preferences store(dir.path(), "Kelvora");
    const QJsonObject stored = QJsonDocument::fromJson(readAll(store.filePath())).object();
    for (const QString& key : stored.keys())
        QVERIFY2(!store.Get(key).isValid(), qPrintable(key));
}

KELVORA_TEST_MAIN(TestPreferences)
#include "tst_preferences.moc"
