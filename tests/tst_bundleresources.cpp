#include "app/bundleresources.h"
#include "platform/qtplatform.h"
#include "tests/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

// The bundle's resources as shipped in the built bundle: sounds load once and are shared, a
// missing sound is never looked for again while a missing picture is, the scripts get their
// parameters and report failures, and the real scripts do their work.
class TestBundleResources : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void shippedSoundsLoadOnceAndAreShared_data();
    void shippedSoundsLoadOnceAndAreShared();
    void missingSoundIsNeverRetried();
    void missingPictureIsRetriedUntilFound();
    void shippedPictures_data();
    void shippedPictures();
    void scriptParameters();
    void scriptFailuresAreReported_data();
    void scriptFailuresAreReported();
    void startupEntryRoundTrips_data();
    void startupEntryRoundTrips();
    void scriptsWithoutDesktopDoNothing_data();
    void scriptsWithoutDesktopDoNothing();
    void playingWithoutAudioDeviceReturnsAtOnce();

private:
    static QString shipped()
    {
        return qEnvironmentVariable("KELVORA_BUNDLE") + "/Contents/Resources";
    }
};

using SoundAccessor = std::shared_ptr<Sound> (BundleResources::*)();
using PictureAccessor = QPixmap (BundleResources::*)();
Q_DECLARE_METATYPE(SoundAccessor)

void TestBundleResources::init()
{
    fakePlatform().processes.clear();
    fakePlatform().processResponder = nullptr;
    fakePlatform().messages.clear();
    fakePlatform().soundsPlayed.clear();
}

void TestBundleResources::shippedSoundsLoadOnceAndAreShared_data()
{
    QTest::addColumn<SoundAccessor>("accessor");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("snap1") << &BundleResources::snap1 << "snap1.aif";
    QTest::newRow("switchOn") << &BundleResources::switchOn << "switchOn.aif";
    QTest::newRow("switchOff") << &BundleResources::switchOff << "switchOff.aif";
}

void TestBundleResources::shippedSoundsLoadOnceAndAreShared()
{
    QFETCH(SoundAccessor, accessor);
    QFETCH(QString, fileName);
    BundleResources resources(fakePlatform(), shipped());

    const std::shared_ptr<Sound> first = (resources.*accessor)();
    QVERIFY(first);
    QCOMPARE(first->name(), fileName);
    QVERIFY(first->durationMs() > 20);
    QVERIFY(first->durationMs() <= 300);
    QCOMPARE((resources.*accessor)().get(), first.get());
    QCOMPARE(resources.soundLoadAttempts(), 1);

    resources.play(first);
    QCOMPARE(fakePlatform().soundsPlayed, QStringList{fileName});
}

void TestBundleResources::missingSoundIsNeverRetried()
{
    QTemporaryDir folder;
    BundleResources resources(fakePlatform(), folder.path());
    QVERIFY(!resources.switchOff());
    QCOMPARE(resources.soundLoadAttempts(), 1);

    // Even once the file is there, the process keeps its nil without looking again.
    QVERIFY(QFile::copy(shipped() + "/switchOff.aif", folder.filePath("switchOff.aif")));
    QVERIFY(!resources.switchOff());
    QCOMPARE(resources.soundLoadAttempts(), 1);
    resources.play(resources.switchOff());
    QVERIFY(fakePlatform().soundsPlayed.isEmpty());

    // A file that is not a sound is a nil as well.
    QFile junk(folder.filePath("snap1.aif"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("FORM not really");
    junk.close();
    QVERIFY(!resources.snap1());
}

void TestBundleResources::missingPictureIsRetriedUntilFound()
{
    QTemporaryDir folder;
    BundleResources resources(fakePlatform(), folder.path());
    QVERIFY(resources.W().isNull());
    QVERIFY(resources.W().isNull());
    QCOMPARE(resources.pictureLoadAttempts(), 2);

    QVERIFY(QFile::copy(shipped() + "/W.png", folder.filePath("W.png")));
    const QPixmap found = resources.W();
    QVERIFY(!found.isNull());

    // Kept from then on: the same picture even after the file has gone.
    QVERIFY(QFile::remove(folder.filePath("W.png")));
    QCOMPARE(resources.W().cacheKey(), found.cacheKey());
    QCOMPARE(resources.pictureLoadAttempts(), 3);
}

void TestBundleResources::shippedPictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("points");
    QTest::newRow("P_Off") << "P_Off" << 18;
    QTest::newRow("P_On") << "P_On" << 18;
    QTest::newRow("W") << "W" << 16;
    QTest::newRow("T") << "T" << 16;
    QTest::newRow("M") << "M" << 16;
}

void TestBundleResources::shippedPictures()
{
    QFETCH(QString, name);
    QFETCH(int, points);
    // Whichever file is drawn, the picture covers its size in points.
    for (const qreal ratio : {1.0, 2.0}) {
        const QPixmap picture = BundleResources::loadPicture(shipped(), name, ratio);
        QVERIFY(!picture.isNull());
        QCOMPARE(picture.devicePixelRatio(), ratio);
        QCOMPARE(picture.deviceIndependentSize(), QSizeF(points, points));
    }

    // With only the sharp file present, a 1x screen still gets the picture at its point size.
    QTemporaryDir folder;
    QVERIFY(QFile::copy(shipped() + "/" + name + "@2x.png", folder.filePath(name + "@2x.png")));
    const QPixmap onlySharp = BundleResources::loadPicture(folder.path(), name, 1.0);
    QCOMPARE(onlySharp.deviceIndependentSize(), QSizeF(points, points));
}

void TestBundleResources::scriptParameters()
{
    fakePlatform().processResponder = [](const ProcessRequest&) {
        ProcessResult result;
        result.started = true;
        result.exitCode = 0;
        result.standardOutput = "2.0.1\n";
        return result;
    };
    BundleResources resources(fakePlatform(), shipped());

    // The login item is the bundle itself, neither its executable nor its Contents folder.
    const QString executable = "/home/u/My Apps/Kelvora.app/Contents/MacOS/Kelvora";
    QCOMPARE(BundleResources::bundlePath(executable), QString("/home/u/My Apps/Kelvora.app"));
    resources.makeStartupItemAs({BundleResources::bundlePath(executable)});
    QCOMPARE(fakePlatform().processes.last().arguments, QStringList{"/home/u/My Apps/Kelvora.app"});
    // Three levels above the running executable: its folder, that folder's parent, and above.
    QDir running(QCoreApplication::applicationDirPath());
    running.cdUp();
    running.cdUp();
    resources.makeStartupItemAs({BundleResources::bundlePath()});
    QCOMPARE(fakePlatform().processes.last().arguments, QStringList{running.absolutePath()});

    resources.doTypingAs({qint64(1)});
    QCOMPARE(fakePlatform().processes.last().arguments, QStringList{"1"});
    resources.activateApp({});
    QVERIFY(fakePlatform().processes.last().arguments.isEmpty());
    QCOMPARE(resources.getVersionAs({}), QString("2.0.1"));

    QStringList scripts;
    for (const ProcessRequest& request : fakePlatform().processes)
        scripts << QFileInfo(request.program).fileName();
    QCOMPARE(scripts, (QStringList{"makeStartupItemAs.scpt", "makeStartupItemAs.scpt",
                                   "doTypingAs.scpt", "activateApp.scpt", "getVersionAs.scpt"}));
    QVERIFY(fakePlatform().messages.isEmpty());
}

void TestBundleResources::scriptFailuresAreReported_data()
{
    QTest::addColumn<bool>("started");
    QTest::addColumn<bool>("timedOut");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("standardError");
    QTest::addColumn<QString>("told");
    QTest::newRow("cannot start") << false << false << -1 << QByteArray() << "Permission denied";
    QTest::newRow("hangs") << true << true << -1 << QByteArray() << "was stopped";
    QTest::newRow("fails with a reason")
        << true << false << 1 << QByteArray("could not write /x/Kelvora.desktop\nmore\n")
        << "could not write /x/Kelvora.desktop";
    QTest::newRow("fails silently") << true << false << 3 << QByteArray() << "exit code 3";
}

void TestBundleResources::scriptFailuresAreReported()
{
    QFETCH(bool, started);
    QFETCH(bool, timedOut);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, standardError);
    QFETCH(QString, told);
    fakePlatform().processResponder = [&](const ProcessRequest&) {
        ProcessResult result;
        result.started = started;
        result.timedOut = timedOut;
        result.exitCode = exitCode;
        result.standardOutput = "9.9";
        result.standardError = standardError;
        result.errorText = "execve: Permission denied";
        return result;
    };
    BundleResources resources(fakePlatform(), shipped());
    // A failed update check yields no number, so it never claims a newer version.
    QCOMPARE(resources.getVersionAs({}), QString());
    QCOMPARE(fakePlatform().messages.size(), 1);
    QVERIFY2(fakePlatform().messages.first().contains("getVersionAs.scpt"),
             qPrintable(fakePlatform().messages.first()));
    QVERIFY2(fakePlatform().messages.first().contains(told),
             qPrintable(fakePlatform().messages.first()));

    // A script missing from the bundle is reported without running anything.
    QTemporaryDir empty;
    BundleResources incomplete(fakePlatform(), empty.path());
    fakePlatform().processes.clear();
    incomplete.doTypingAs({qint64(0)});
    QVERIFY(fakePlatform().processes.isEmpty());
    QVERIFY(fakePlatform().messages.last().contains("doTypingAs.scpt"));
}

void TestBundleResources::startupEntryRoundTrips_data()
{
    QTest::addColumn<QString>("bundleName");
    QTest::newRow("plain") << "Kelvora.app";
    QTest::newRow("blanks") << "My Apps/Kel vora.app";
    QTest::newRow("quotes, dollar, backquote, backslash, percent")
        << "it's \"new\" $HOME `id` back\\slash 100%/Kelvora.app";
}

// Undoes the entry's escaping as a desktop reads it: first the value's own escapes, then the
// double-quoted argument's backslashes, then the doubled %.
static QString execArgument(QString value)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            unescaped += next == 's' ? QChar(' ') : next == 'n' ? QChar('\n') : next;
        } else {
            unescaped += value[i];
        }
    }
    if (!unescaped.startsWith('"') || !unescaped.endsWith('"'))
        return "not one quoted argument: " + unescaped;
    QString argument;
    for (qsizetype i = 1; i + 1 < unescaped.size(); ++i) {
        if (unescaped[i] == '\\' && QStringLiteral("\"`$\\").contains(unescaped[i + 1]))
            ++i;
        else if (QStringLiteral("\"`$\\").contains(unescaped[i]))
            return "unescaped reserved character in " + unescaped;
        argument += unescaped[i];
    }
    return argument.replace("%%", "%");
}

void TestBundleResources::startupEntryRoundTrips()
{
    QFETCH(QString, bundleName);
    const QString bundle = testEnvironment().home() + "/" + bundleName;
    const QString entryPath = testEnvironment().configHome() + "/autostart/Kelvora.desktop";
    QFile::remove(entryPath);

    BundleResources resources(fakePlatform(), shipped());
    resources.makeStartupItemAs({bundle});
    QVERIFY2(fakePlatform().messages.isEmpty(), qPrintable(fakePlatform().messages.join('\n')));

    QFile entry(entryPath);
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split('\n');
    QCOMPARE(lines.first(), QString("[Desktop Entry]"));
    QVERIFY(lines.contains("Type=Application"));
    QVERIFY(lines.contains("Name=Kelvora"));
    const QStringList exec = lines.filter(QRegularExpression("^Exec="));
    QCOMPARE(exec.size(), 1);
    QCOMPARE(execArgument(exec.first().mid(5)), bundle + "/Contents/MacOS/Kelvora");

    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (!validator.isEmpty()) {
        QProcess validate;
        validate.start(validator, {entryPath});
        QVERIFY(validate.waitForFinished());
        QVERIFY2(validate.exitCode() == 0, validate.readAllStandardOutput().constData());
    }
}

void TestBundleResources::scriptsWithoutDesktopDoNothing_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("display");
    QTest::addColumn<bool>("withPath");
    QTest::newRow("typing, no display") << "doTypingAs.scpt" << QStringList{"1"} << "" << true;
    QTest::newRow("typing, no xdotool") << "doTypingAs.scpt" << QStringList{"0"} << ":97" << false;
    QTest::newRow("activating, no display") << "activateApp.scpt" << QStringList() << "" << true;
    QTest::newRow("activating, no xdotool")
        << "activateApp.scpt" << QStringList() << ":97" << false;
    QTest::newRow("version, no curl") << "getVersionAs.scpt" << QStringList() << "" << false;
}

void TestBundleResources::scriptsWithoutDesktopDoNothing()
{
    QFETCH(QString, script);
    QFETCH(QStringList, arguments);
    QFETCH(QString, display);
    QFETCH(bool, withPath);
    QTemporaryDir emptyPath;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    if (!withPath)
        environment.insert("PATH", emptyPath.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(shipped() + "/" + script, arguments);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    QCOMPARE(process.readAllStandardError(), QByteArray());
}

void TestBundleResources::playingWithoutAudioDeviceReturnsAtOnce()
{
    // Ten seconds of silence: a player that waited for the sound would take that long.
    const Sound longSound("long.aif", QByteArray(44100 * 2 * 10, '\0'), 44100, 1);
    QtPlatform real;
    QElapsedTimer clock;
    clock.start();
    real.playSound(longSound);
    real.playSound(*BundleResources(fakePlatform(), shipped()).snap1());
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    // Nothing left behind that fails later.
    QTest::qWait(400);
}

KELVORA_TEST_MAIN(TestBundleResources)
#include "tst_bundleresources.moc"
