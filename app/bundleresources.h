#pragma once

// The bundle's scripts, sounds and pictures behind accessors, so no other code builds a path
// into Kelvora.app: scripts run anew from Contents/Resources at each call, sounds load once,
// pictures load on first success and are kept.

#include "app/sound.h"

#include <QPixmap>
#include <QString>
#include <QVariantList>

#include <memory>

class Platform;

class BundleResources
{
public:
    BundleResources(Platform& platform, QString resourcesFolder);

    // Contents/Resources beside the folder that holds the running executable.
    static QString defaultResourcesFolder();
    // The bundle itself: the folder that holds Contents.
    static QString bundlePath();

    void activateApp(const QVariantList& parameters);
    void makeStartupItemAs(const QVariantList& parameters);
    void doTypingAs(const QVariantList& parameters);
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

private:
    Platform& platform;
    QString folder;
};
