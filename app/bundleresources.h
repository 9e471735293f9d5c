#pragma once

// The bundle's scripts, sounds and pictures behind accessors, so no other code builds a path
// into Kelvora.app: scripts run anew from Contents/Resources at each call, sounds load once,
// pictures load on first success and are kept.

#include "platform/sound.h"

#include <QLatin1StringView>
#include <QPixmap>
#include <QString>
#include <QVariantList>

#include <memory>
#include <optional>

class Platform;

class BundleResources
{
public:
    BundleResources(Platform& platform, QString resourcesFolder);

    // The running bundle's Contents/Resources.
    static QString defaultResourcesFolder();
    // The bundle itself: the folder that holds Contents, three levels above the executable as
    // the file system spells it. Empty when that path is not UTF-8 text: Qt spells every file
    // name in UTF-8, so nothing under it could be reached, and no other path may stand in.
    static QString bundlePath();
    static QString bundlePath(const QString& executablePath);
    // The executable's path as a QString that names the same file, from its bytes; empty when
    // the bytes are no UTF-8 text. UNREADABLE gets the path as near as it can be shown then.
    static QString spelledPath(const QByteArray& bytes, QString* unreadable = nullptr);
    // Why Kelvora cannot run from where it lies; empty when it can.
    static QString unreachableBundleText();

    // Each runs its script and waits for it; a script that is missing, cannot start, fails or
    // takes too long is reported to the user.
    void activateApp(const QVariantList& parameters);
    // True when the login item was made.
    bool makeStartupItemAs(const QVariantList& parameters);
    void doTypingAs(const QVariantList& parameters);
    // The script's standard output without surrounding whitespace; empty when it failed, which
    // its caller tells the user itself.
    QString getVersionAs(const QVariantList& parameters);

    // nil (nullptr) when the sound could not be loaded; a failed load is never retried.
    std::shared_ptr<Sound> snap1();
    std::shared_ptr<Sound> switchOn();
    std::shared_ptr<Sound> switchOff();
    // Plays a sound when there is one.
    void play(const std::shared_ptr<Sound>& sound);

    // A null pixmap when the picture is missing; a missing picture is tried again next time.
    QPixmap P_On();
    QPixmap P_Off();
    QPixmap W();
    QPixmap T();
    QPixmap M();

    // NAME.png and NAME@2x.png in the folder: the one that suits the device pixel ratio, the
    // other when it is missing; a null pixmap when neither loads.
    static QPixmap loadPicture(const QString& folder, const QString& name, qreal ratio);

    // How often a sound or picture file has been looked for, so the caching can be checked.
    int soundLoadAttempts() const { return soundLoads; }
    int pictureLoadAttempts() const { return pictureLoads; }

private:
    struct KeptSound {
        bool loadFlag = false;
        std::shared_ptr<Sound> sound;
    };

    // The script's output, or nothing when it failed (reported to the user when asked to).
    std::optional<QString> runScript(QLatin1StringView scriptName, const QVariantList& parameters,
                                     int timeoutMs, bool reportFailure = true);
    std::shared_ptr<Sound> keptSound(KeptSound& kept, QLatin1StringView fileName);
    QPixmap keptPicture(QPixmap& kept, QLatin1StringView name);

    Platform& platform;
    QString folder;
    KeptSound snap1Sound;
    KeptSound switchOnSound;
    KeptSound switchOffSound;
    QPixmap pOnPicture;
    QPixmap pOffPicture;
    QPixmap wPicture;
    QPixmap tPicture;
    QPixmap mPicture;
    int soundLoads = 0;
    int pictureLoads = 0;
};
