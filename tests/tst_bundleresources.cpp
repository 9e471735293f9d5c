#include "app/bundleresources.h"
#include "platform/qtplatform.h"
#include "tests/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>

// The bundle's resources as shipped in the built bundle: sounds load once and are shared, a
// missing sound is never looked for again while a missing picture is, the scripts get their
// parameters and report failures, and the real scripts do their work. The typing script's paste
// is proven under X by tests/user/user_typing.sh.
class TestBundleResources : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void shippedSoundsLoadOnceAndAreShared();
    void missingAndUnreadableFiles();
    void shippedPictures();
    void scripts_data();
    void scripts();
    void startupEntryRoundTrips_data();
    void startupEntryRoundTrips();
    void scriptsWithoutDesktopDoNothing_data();
    void scriptsWithoutDesktopDoNothing();
    void soundsPlayApartAndReturnAtOnce();

private:
    static QString shipped()
    {
        return qEnvironmentVariable("KELVORA_BUNDLE") + "/Contents/Resources";
    }
};

Q_DECLARE_METATYPE(ProcessResult)

void TestBundleResources::init()
{
    fakePlatform().processes.clear();
    fakePlatform().processResponder = nullptr;
    fakePlatform().runsRealProcesses = false;
    fakePlatform().messages.clear();
    fakePlatform().soundsPlayed.clear();
}

void TestBundleResources::shippedSoundsLoadOnceAndAreShared()
{
    using Accessor = std::shared_ptr<Sound> (BundleResources::*)();
    const std::pair<Accessor, QString> sounds[] = {{&BundleResources::snap1, "snap1.aif"},
                                                   {&BundleResources::switchOn, "switchOn.aif"},
                                                   {&BundleResources::switchOff, "switchOff.aif"}};
    BundleResources resources(fakePlatform(), shipped());
    for (const auto& [accessor, fileName] : sounds) {
        const std::shared_ptr<Sound> first = (resources.*accessor)();
        QVERIFY2(first, qPrintable(fileName));
        QCOMPARE(first->name(), fileName);
        QVERIFY2(first->durationMs() > 20 && first->durationMs() <= 300, qPrintable(fileName));
        QCOMPARE((resources.*accessor)().get(), first.get());
    }
    QCOMPARE(resources.soundLoadAttempts(), 3);
}

void TestBundleResources::missingAndUnreadableFiles()
{
    QTemporaryDir folder;
    BundleResources resources(fakePlatform(), folder.path());
    QVERIFY(!resources.switchOff());
    QVERIFY(resources.W().isNull());
    QVERIFY(resources.W().isNull());
    // A missing script is reported without running anything.
    resources.doTypingAs({qint64(0)});
    QVERIFY(fakePlatform().processes.isEmpty());
    QCOMPARE(fakePlatform().messages.size(), 1);
    QVERIFY(fakePlatform().messages.first().contains("doTypingAs.scpt"));

    // The files arrive, the picture only as its sharp version, snap1 as no sound at all: the
    // missing sound is never looked for again, the picture is found and then kept.
    QVERIFY(QFile::copy(shipped() + "/switchOff.aif", folder.filePath("switchOff.aif")));
    QVERIFY(QFile::copy(shipped() + "/W@2x.png", folder.filePath("W@2x.png")));
    QFile junk(folder.filePath("snap1.aif"));
    QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("FORM not really") > 0);
    junk.close();
    QVERIFY(!resources.switchOff());
    QVERIFY(!resources.snap1());
    QCOMPARE(resources.soundLoadAttempts(), 2);
    resources.play(resources.switchOff());
    QVERIFY(fakePlatform().soundsPlayed.isEmpty());

    const QPixmap found = resources.W();
    QCOMPARE(found.deviceIndependentSize(), QSizeF(16, 16)); // its point size on a 1x screen
    QVERIFY(QFile::remove(folder.filePath("W@2x.png")));
    QCOMPARE(resources.W().cacheKey(), found.cacheKey());
    QCOMPARE(resources.pictureLoadAttempts(), 3);
}

void TestBundleResources::shippedPictures()
{
    // Whichever file suits the screen, each picture covers its size in points.
    const std::pair<QString, int> pictures[] = {
        {"P_Off", 18}, {"P_On", 18}, {"W", 16}, {"T", 16}, {"M", 16}};
    for (const auto& [name, points] : pictures) {
        for (const qreal ratio : {1.0, 2.0}) {
            const QPixmap picture = BundleResources::loadPicture(shipped(), name, ratio);
            QVERIFY2(picture.devicePixelRatio() == ratio &&
                         picture.deviceIndependentSize() == QSizeF(points, points),
                     qPrintable(name + " at " + QString::number(ratio)));
        }
    }
}

void TestBundleResources::scripts_data()
{
    QTest::addColumn<ProcessResult>("result"); // what every script run gives back
    QTest::addColumn<QString>("told");         // in each script's message; no message when empty

    // Every run prints a version number; only a successful run's counts.
    const auto run = [](bool started, bool timedOut, int exitCode, const QByteArray& error = {}) {
        return ProcessResult{
            started, timedOut, exitCode, " 2.0.1\n", error, "execve: Permission denied", false};
    };
    QTest::newRow("succeeds, with a warning") << run(true, false, 0, "a warning\n") << "";
    QTest::newRow("cannot start") << run(false, false, -1) << "Permission denied";
    QTest::newRow("hangs") << run(true, true, -1) << "was stopped";
    QTest::newRow("fails with a reason")
        << run(true, false, 1, "could not write /x/Kelvora.desktop\nmore\n")
        << "could not write /x/Kelvora.desktop.";
    QTest::newRow("fails silently") << run(true, false, 3) << "exit code 3";
}

void TestBundleResources::scripts()
{
    QFETCH(ProcessResult, result);
    QFETCH(QString, told);
    fakePlatform().processResponder = [&](const ProcessRequest&) { return result; };
    BundleResources resources(fakePlatform(), shipped());
    QCOMPARE(resources.makeStartupItemAs({BundleResources::bundlePath()}), told.isEmpty());
    resources.doTypingAs({qint64(1)});
    resources.activateApp({});
    // A failed update check yields no number, so it never claims a newer version.
    QCOMPARE(resources.getVersionAs({}), told.isEmpty() ? QString("2.0.1") : QString());

    // The login item is the bundle itself, three levels above the running executable.
    QDir running(QCoreApplication::applicationDirPath());
    running.cdUp();
    running.cdUp();
    QStringList calls;
    for (const ProcessRequest& request : fakePlatform().processes)
        calls << QFileInfo(request.program).fileName() + " " + request.arguments.join('|');
    QCOMPARE(calls, (QStringList{"makeStartupItemAs.scpt " + running.absolutePath(),
                                 "doTypingAs.scpt 1", "activateApp.scpt ", "getVersionAs.scpt "}));

    // Every failure is reported, naming its script; the update check's own answer says it.
    const QStringList& messages = fakePlatform().messages;
    QCOMPARE(messages.size(), told.isEmpty() ? 0 : calls.size() - 1);
    for (qsizetype i = 0; i < messages.size(); ++i)
        QVERIFY2(messages[i].contains(calls[i].section(' ', 0, 0)) && messages[i].contains(told),
                 qPrintable(messages[i]));
}

void TestBundleResources::startupEntryRoundTrips_data()
{
    QTest::addColumn<QString>("bundleName");
    QTest::addColumn<QString>("dataFolder"); // XDG_DATA_HOME, where the start script goes
    QTest::newRow("blanks") << "My Apps/Kel vora.app" << QString("data");
    QTest::newRow("quotes, dollar, backquote, backslash")
        << "it's \"new\" $HOME `id` back\\slash/Kelvora.app" << QString("data");
    QTest::newRow("quotes, dollar, backquote, backslash, percent")
        << "it's \"new\" $HOME `id` back\\slash 100%/Kelvora.app" << QString("data");
    QTest::newRow("letters of other scripts")
        << "Kelvora.app" << QString("andre\u0301/Данные/データ");
}

void TestBundleResources::startupEntryRoundTrips()
{
    QFETCH(QString, bundleName);
    QFETCH(QString, dataFolder);
    qputenv("XDG_DATA_HOME", (testEnvironment().home() + "/" + dataFolder).toUtf8());
    const auto restore =
        qScopeGuard([] { qputenv("XDG_DATA_HOME", testEnvironment().dataHome().toUtf8()); });
    const QString bundle = testEnvironment().home() + "/" + bundleName;
    const QString entryPath = testEnvironment().configHome() + "/autostart/Kelvora.desktop";
    QFile::remove(entryPath);
    // A stand-in executable in the bundle notes the path it was started by.
    const QString started = testEnvironment().home() + "/started";
    QFile::remove(started);
    QVERIFY(QDir().mkpath(bundle + "/Contents/MacOS"));
    QFile stub(bundle + "/Contents/MacOS/Kelvora");
    QVERIFY(stub.open(QIODevice::WriteOnly));
    stub.write(
        "#!/bin/sh\nprintf '%s' \"$0\" >\"$STARTED.part\" && mv \"$STARTED.part\" \"$STARTED\"\n");
    stub.close();
    stub.setPermissions(stub.permissions() | QFileDevice::ExeOwner);

    fakePlatform().runsRealProcesses = true;
    QVERIFY(BundleResources(fakePlatform(), shipped()).makeStartupItemAs({bundle}));
    QVERIFY2(fakePlatform().messages.isEmpty(), qPrintable(fakePlatform().messages.join('\n')));

    QFile entry(entryPath);
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split('\n');
    QVERIFY2(lines.first() == "[Desktop Entry]" && lines.contains("Type=Application") &&
                 lines.contains("Name=Kelvora"),
             qPrintable(lines.join('\n')));

    QProcess validate;
    validate.start("desktop-file-validate", {entryPath});
    QVERIFY(validate.waitForFinished());
    QVERIFY2(validate.exitCode() == 0, validate.readAllStandardOutput().constData());

    // Started as each kind of session starts it, the entry runs this bundle's executable: by
    // GLib's launcher, by dex, and by openbox's own autostart (which reads no other folder here).
    QTemporaryDir noSystemEntries;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("STARTED", started);
    environment.insert("XDG_CONFIG_DIRS", noSystemEntries.path());
    for (const QStringList& launcher :
         {QStringList{"gio", "launch", entryPath}, QStringList{"dex", "-a"},
          QStringList{"/usr/lib/x86_64-linux-gnu/openbox-xdg-autostart", "OPENBOX"}}) {
        QFile::remove(started);
        QProcess launch;
        launch.setProcessEnvironment(environment);
        launch.start(launcher.first(), launcher.mid(1));
        QVERIFY(launch.waitForFinished());
        QVERIFY2(launch.exitCode() == 0, launch.readAllStandardError().constData());
        QTRY_VERIFY2(QFile::exists(started), qPrintable(launcher.first()));
        QFile ran(started);
        QVERIFY(ran.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(ran.readAll()), bundle + "/Contents/MacOS/Kelvora");
    }
}

void TestBundleResources::scriptsWithoutDesktopDoNothing_data()
{
    QTest::addColumn<QString>("command");  // the script and its arguments
    QTest::addColumn<bool>("withDisplay"); // and no tools on the PATH; else no display
    for (const char* command : {"doTypingAs.scpt 1", "activateApp.scpt"}) {
        QTest::addRow("%s, no display", command) << QString(command) << false;
        QTest::addRow("%s, no xdotool", command) << QString(command) << true;
    }
    QTest::newRow("getVersionAs.scpt, no curl") << "getVersionAs.scpt" << true;
}

void TestBundleResources::scriptsWithoutDesktopDoNothing()
{
    QFETCH(QString, command);
    QFETCH(bool, withDisplay);
    QTemporaryDir emptyPath;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", withDisplay ? ":97" : "");
    if (withDisplay)
        environment.insert("PATH", emptyPath.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    QStringList arguments = command.split(' ');
    process.start(shipped() + "/" + arguments.takeFirst(), arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput() + process.readAllStandardError(), QByteArray());
}

void TestBundleResources::soundsPlayApartAndReturnAtOnce()
{
    // Ten seconds of silence: a player that waited for the sound would take that long.
    const Sound longSound("long.aif", QByteArray(44100 * 2 * 10, '\0'), 44100, 1);
    QtPlatform real(qEnvironmentVariable("KELVORA_BUNDLE") + "/Contents/MacOS");
    QElapsedTimer clock;
    clock.start();
    real.playSound(longSound);
    real.playSound(*BundleResources(fakePlatform(), shipped()).snap1());
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    // Each sound plays in a player process of its own, which takes it whole; Kelvora itself
    // never maps Qt Multimedia.
    const QList<QProcess*> players = qApp->findChildren<QProcess*>();
    QCOMPARE(players.size(), 2);
    for (QProcess* player : players) {
        QVERIFY(player->waitForFinished(15000));
        QCOMPARE(player->exitStatus(), QProcess::NormalExit);
        QCOMPARE(player->exitCode(), 0);
    }
    QFile maps("/proc/self/maps");
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("libQt6Multimedia"));
}

KELVORA_TEST_MAIN(TestBundleResources)
#include "tst_bundleresources.moc"
