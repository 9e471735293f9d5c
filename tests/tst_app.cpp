#include "app/texts.h"
#include "tests/testsupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>

// The application object's Open and Close: the login-item question's timing, the menu-bar
// height, and the one save at quit.
class TestApp : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void initDateDecision_data();
    void initDateDecision();
    void menubarHeight();
    void closeSavesAndReportsFailure();

private:
    QString prefsPath() const { return testEnvironment().dataHome() + "/Kelvora/Kelvora.js"; }
    [[nodiscard]] bool writePrefs(const QByteArray& json)
    {
        QDir().mkpath(QFileInfo(prefsPath()).absolutePath());
        QFile file(prefsPath());
        return file.open(QIODevice::WriteOnly) && file.write(json) == json.size();
    }
};

void TestApp::init()
{
    QFile::remove(prefsPath());
    fakePlatform().messages.clear();
}

void TestApp::initDateDecision_data()
{
    const qint64 now = 1800000000;
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<double>("now");
    QTest::addColumn<bool>("asks");
    QTest::newRow("no file") << QByteArray() << double(now) << true;
    QTest::newRow("key missing") << QByteArray("{\"windowSize\": \"Max\"}") << double(now) << true;
    QTest::newRow("null") << QByteArray("{\"initDate\": null}") << double(now) << true;
    QTest::newRow("exactly 30 days")
        << QByteArray::number(now - 2592000).prepend("{\"initDate\": ").append("}") << double(now)
        << false;
    QTest::newRow("30 days and one second")
        << QByteArray::number(now - 2592001).prepend("{\"initDate\": ").append("}") << double(now)
        << true;
    QTest::newRow("fraction of now is truncated")
        << QByteArray::number(now - 2592000).prepend("{\"initDate\": ").append("}")
        << double(now) + 0.9 << false;
    QTest::newRow("in the future")
        << QByteArray::number(now + 86400).prepend("{\"initDate\": ").append("}") << double(now)
        << false;
}

void TestApp::initDateDecision()
{
    QFETCH(QByteArray, stored);
    QFETCH(double, now);
    QFETCH(bool, asks);
    if (!stored.isEmpty())
        QVERIFY(writePrefs(stored));
    const QVariant before = QJsonDocument::fromJson(stored).object().value("initDate").toVariant();

    App& app = *App::instance();
    fakePlatform().now = now;
    QSignalSpy questions(&app, &App::questionAsked);
    app.Event_Open();

    QCOMPARE(questions.size(), asks ? 1 : 0);
    if (asks) {
        QCOMPARE(questions.at(0).at(0).toString(), QString(Texts::startupQuestion));
        QCOMPARE(questions.at(0).at(1).toBool(), true);
        QCOMPARE(app.Preferences().Get("initDate").toLongLong(), qint64(now));
    } else {
        QCOMPARE(app.Preferences().Get("initDate").toLongLong(), before.toLongLong());
    }
    // The decision reaches the file at quit.
    QVERIFY(app.Event_Close());
    const QJsonObject saved = QJsonDocument::fromJson([&] {
                                  QFile f(prefsPath());
                                  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
                              }())
                                  .object();
    QCOMPARE(saved.value("initDate").toInteger(), app.Preferences().Get("initDate").toLongLong());
}

void TestApp::menubarHeight()
{
    App& app = *App::instance();
    fakePlatform().screen = QRect(0, 0, 1440, 900);
    fakePlatform().available = QRect(0, 25, 1440, 800); // a top panel and a bottom one
    app.Event_Open();
    QCOMPARE(app.MenubarHeight, 25);
    fakePlatform().available = QRect(0, 25, 1440, 875);
}

void TestApp::closeSavesAndReportsFailure()
{
    App& app = *App::instance();
    app.Event_Open();
    app.Preferences().Set("CurrentBevelButton", QStringLiteral("Typers"));
    QVERIFY(QFile::remove(prefsPath()) || !QFile::exists(prefsPath()));
    QVERIFY(QDir().mkpath(prefsPath())); // a folder in the file's place
    QVERIFY(!app.Event_Close());
    QCOMPARE(fakePlatform().messages.size(), 1);
    QVERIFY(fakePlatform().messages.first().contains(prefsPath()));
    QVERIFY(QDir(prefsPath()).removeRecursively());
}

KELVORA_TEST_MAIN(TestApp)
#include "tst_app.moc"
