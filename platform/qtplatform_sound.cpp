#include "platform/qtplatform.h"

#include "platform/sound.h"

#include <QCoreApplication>
#include <QProcess>

void QtPlatform::playSound(const Sound& sound)
{
    if (!QCoreApplication::instance() || sound.pcm().isEmpty())
        return;
    const QString folder =
        playerFolder.isEmpty() ? QCoreApplication::applicationDirPath() : playerFolder;
    // The player belongs to the application until it ends, so several sounds may overlap and
    // the caller never waits; one that cannot start is a sound not heard.
    auto* player = new QProcess(QCoreApplication::instance());
    QObject::connect(player, &QProcess::finished, player, &QObject::deleteLater);
    QObject::connect(player, &QProcess::errorOccurred, player, [player](QProcess::ProcessError) {
        if (player->state() == QProcess::NotRunning)
            player->deleteLater();
    });
    // A sound still playing when Kelvora quits ends with it.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, player,
                     [player] {
                         player->kill();
                         player->waitForFinished();
                     });
    player->start(folder + QStringLiteral("/kelvorasound"),
                  {QString::number(sound.sampleRate()), QString::number(sound.channelCount())});
    player->write(sound.pcm());
    player->closeWriteChannel();
}
