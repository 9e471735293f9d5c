#include "tests/testsupport.h"

#include <QDir>

#include <csignal>
#include <memory>
#include <sys/resource.h>

namespace
{
TestEnvironment* environment = nullptr;
FakePlatform* fake = nullptr;
} // namespace

TestEnvironment::TestEnvironment() : root(QDir::tempPath() + QStringLiteral("/kelvora-test-XXXXXX"))
{
    QDir(root.path()).mkpath(QStringLiteral("data"));
    QDir(root.path()).mkpath(QStringLiteral("config"));
    QDir(root.path()).mkpath(QStringLiteral("tmp"));
    qputenv("HOME", root.path().toUtf8());
    qputenv("XDG_DATA_HOME", dataHome().toUtf8());
    qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
    qputenv("TMPDIR", root.filePath(QStringLiteral("tmp")).toUtf8());
}

FakePlatform& fakePlatform()
{
    return *fake;
}

void underFileSizeLimit(quint64 bytes, const std::function<void()>& work)
{
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = bytes;
    // A write past the limit fails, as Kelvora has it, instead of ending the process.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    work();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
}

TestEnvironment& testEnvironment()
{
    return *environment;
}

int runKelvoraTest(int argc, char** argv, QObject* testObject)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestEnvironment env;
    environment = &env;
    auto platform = std::make_unique<FakePlatform>();
    fake = platform.get();
    App app(argc, argv, std::move(platform));
    // The built bundle's resources, so tests load the real scripts, sounds and pictures.
    const QString bundle = qEnvironmentVariable("KELVORA_BUNDLE");
    if (!bundle.isEmpty())
        app.setResourcesFolder(bundle + QStringLiteral("/Contents/Resources"));
    const int result = QTest::qExec(testObject, argc, argv);
    fake = nullptr;
    environment = nullptr;
    return result;
}
