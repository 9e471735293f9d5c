#pragma once

// What every test executable shares: a private home and XDG folders, and an App whose
// platform is the recording fake.

#include "app/app.h"
#include "tests/fakeplatform.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>

// Points HOME, XDG_DATA_HOME, XDG_CONFIG_HOME and TMPDIR at a fresh temporary folder before
// anything reads them, so no test touches the real home.
class TestEnvironment
{
public:
    TestEnvironment();
    QString home() const { return root.path(); }
    QString dataHome() const { return root.filePath(QStringLiteral("data")); }
    QString configHome() const { return root.filePath(QStringLiteral("config")); }

private:
    QTemporaryDir root;
};

FakePlatform& fakePlatform();
// Runs work with every file limited to bytes (as a full disk would limit it), even for root.
void underFileSizeLimit(quint64 bytes, const std::function<void()>& work);
TestEnvironment& testEnvironment();

int runKelvoraTest(int argc, char** argv, QObject* testObject);

#define KELVORA_TEST_MAIN(TestClass)                                                               \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        TestClass test;                                                                            \
        return runKelvoraTest(argc, argv, &test);                                                  \
    }
