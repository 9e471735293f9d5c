#pragma once

// One Kelvora per user and display, so that two never overwrite each other's preferences: the
// first start holds a lock and listens on a local socket in the user's runtime folder; a later
// start asks it to come to the front and ends.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    SingleInstance();

    // True when this is the one instance for the user and display; false when another one runs
    // and has been asked to come to the front.
    bool claim();

signals:
    // Another start asked this instance to come to the front.
    void anotherStarted();

private:
    QString socketPath;
    std::unique_ptr<QLockFile> lock;
    QLocalServer server;
};
