#include "app/app.h"

#include "app/folderitemmodule.h"
#include "app/texts.h"
#include "bar/myviewmenu.h"

#include <QDir>
#include <QFileInfo>
#include <QMenuBar>

#include <cmath>
#include <exception>

App::App(int& argc, char** argv, std::unique_ptr<Platform> platform)
    : QApplication(argc, argv), platformSeam(std::move(platform))
{
    setApplicationName(Texts::appName);
    setApplicationVersion(Texts::shortVersion);
    setQuitOnLastWindowClosed(false);
}

App::~App() = default;

App* App::instance()
{
    return qobject_cast<App*>(QCoreApplication::instance());
}

BundleResources& App::resources()
{
    if (!bundleResources)
        bundleResources = std::make_unique<BundleResources>(
            *platformSeam, BundleResources::defaultResourcesFolder());
    return *bundleResources;
}

void App::setResourcesFolder(const QString& folder)
{
    bundleResources = std::make_unique<BundleResources>(*platformSeam, folder);
}

void App::Event_Open()
{
    const double now = platformSeam->currentUnixTime();
    preferencesStore = std::make_unique<PreferencesModule::Preferences>(Texts::appName);
    if (!preferencesStore->loadProblem().isEmpty())
        platformSeam->showMessage(Texts::appName, preferencesStore->loadProblem());

    MenubarHeight =
        platformSeam->screenGeometry().height() - platformSeam->availableGeometry().height();

    if (shouldAsk(preferencesStore->Get(Keys::initDate), now)) {
        preferencesStore->Set(Keys::initDate, static_cast<qint64>(std::trunc(now)));
        makeStartupItem();
    }
}

bool App::shouldAsk(const QVariant& initDate, double now)
{
    if (!initDate.isValid() || initDate.isNull())
        return true;
    const qint64 asked = initDate.toLongLong();
    return asked < static_cast<qint64>(std::trunc(now)) - secondsBetweenQuestions;
}

void App::makeStartupItem()
{
    emit questionAsked(Texts::startupQuestion, true);
}

bool App::Event_Close()
{
    if (!preferencesStore)
        return true;
    QString error;
    if (preferencesStore->Save(&error))
        return true;
    platformSeam->showMessage(Texts::appName, error);
    return false;
}

bool App::writeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    // Write through a link to its target, so that a linked entries file stays linked.
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        target = info.canonicalFilePath();

    return FolderItemModule::replaceFile(target, bytes, error, FolderItemModule::Fallback::InPlace);
}

void App::setMenuBar(QMenuBar* menuBar)
{
    applicationMenuBar = menuBar;
}

QMenuBar* App::MenuBar() const
{
    return applicationMenuBar;
}

MyViewMenu* App::ViewMenu() const
{
    if (!applicationMenuBar)
        return nullptr;
    return applicationMenuBar->findChild<MyViewMenu*>(MenuTexts::ViewMenu);
}

void App::registerMenuHandler(const QString& itemName, std::function<bool()> handler)
{
    menuHandlers.insert(itemName, std::move(handler));
}

bool App::runMenuHandler(const QString& itemName)
{
    const auto it = menuHandlers.constFind(itemName);
    return it != menuHandlers.cend() && (*it)();
}

bool App::hasMenuHandler(const QString& itemName) const
{
    return menuHandlers.contains(itemName);
}

void App::Quit()
{
    if (quitting)
        return;
    quitting = true;
    closeAllWindows();
    exit(0);
}

bool App::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& failure) {
        platformSeam->showMessage(
            Texts::appName,
            QStringLiteral("Something went wrong: %1").arg(QString::fromLocal8Bit(failure.what())));
    } catch (...) {
        platformSeam->showMessage(Texts::appName,
                                  QStringLiteral("Something went wrong (an unknown failure)."));
    }
    return false;
}
