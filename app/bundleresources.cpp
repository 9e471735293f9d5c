#include "app/bundleresources.h"

#include "platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// Placeholder bodies; the real accessors replace them.

BundleResources::BundleResources(Platform& platformSeam, QString resourcesFolder)
    : platform(platformSeam), folder(std::move(resourcesFolder))
{
}

QString BundleResources::defaultResourcesFolder()
{
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../Resources"))
        .absolutePath();
}

QString BundleResources::bundlePath()
{
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../..")).absolutePath();
}

void BundleResources::activateApp(const QVariantList&) {}
void BundleResources::makeStartupItemAs(const QVariantList&) {}
void BundleResources::doTypingAs(const QVariantList&) {}
QString BundleResources::getVersionAs(const QVariantList&)
{
    return {};
}
std::shared_ptr<Sound> BundleResources::snap1()
{
    return nullptr;
}
std::shared_ptr<Sound> BundleResources::switchOn()
{
    return nullptr;
}
std::shared_ptr<Sound> BundleResources::switchOff()
{
    return nullptr;
}
void BundleResources::play(const std::shared_ptr<Sound>& sound)
{
    if (sound)
        platform.playSound(*sound);
}
QPixmap BundleResources::P_On()
{
    return {};
}
QPixmap BundleResources::P_Off()
{
    return {};
}
QPixmap BundleResources::W()
{
    return {};
}
QPixmap BundleResources::T()
{
    return {};
}
QPixmap BundleResources::M()
{
    return {};
}
