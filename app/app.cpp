#include "app/app.h"

#include "app/folderitemmodule.h"
#include "app/myviewmenu.h"
#include "app/texts.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QMenuBar>
#include <QPainter>
#include <QRegularExpression>
#include <QTimer>

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

QIcon App::applicationIcon()
{
    QPixmap picture = resources().P_Off();
    if (picture.isNull()) {
        // Until the handle's picture is there, a swatch of the strip's colours.
        picture = QPixmap(22, 22);
        picture.fill(QColor(stripColour));
        QPainter painter(&picture);
        painter.setPen(Qt::darkGray);
        painter.drawRect(0, 0, 21, 21);
    }
    return QIcon(picture);
}

void App::Event_Open()
{
    const double now = platformSeam->currentUnixTime();
    preferencesStore = std::make_unique<PreferencesModule::Preferences>(Texts::appName);
    // Told once the event loop runs, after the strip is up: a message now would hold it back.
    if (const QString problem = preferencesStore->loadProblem(); !problem.isEmpty())
        QTimer::singleShot(0, this,
                           [this, problem] { platformSeam->showMessage(Texts::appName, problem); });

    MenubarHeight = platformSeam->availableGeometry().top() - platformSeam->screenGeometry().top();

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

bool App::_SupportWhatIliked_Action()
{
    platformSeam->openUrl(QStringLiteral("mailto:") + Texts::feedbackAddress +
                          Texts::whatIlikedSubject);
    return false;
}

bool App::_SupportMySuggestions_Action()
{
    platformSeam->openUrl(QStringLiteral("mailto:") + Texts::feedbackAddress +
                          Texts::mySuggestionsSubject);
    return false;
}

bool App::_SupportProblemsIhad_Action()
{
    platformSeam->openUrl(QStringLiteral("mailto:") + Texts::feedbackAddress +
                          Texts::problemsIhadSubject);
    return false;
}

bool App::_SupportSite_Action()
{
    platformSeam->openUrl(Texts::siteAddress);
    return false;
}

bool App::_SupportCheckforUpdate_Action()
{
    // The script runs with the event loop alive and a time limit: the strip repaints, and a
    // script that hangs or fails gives no number, hence the connection message.
    const double returned = leadingNumber(resources().getVersionAs({}));
    if (returned == 0)
        emit questionAsked(Texts::noConnection, false);
    else if (returned > leadingNumber(applicationVersion()))
        emit questionAsked(Texts::newerVersion(), true);
    else
        emit questionAsked(Texts::upToDate, false);
    return false;
}

void App::registerSupportHandlers()
{
    registerMenuHandler(MenuTexts::SupportWhatIliked,
                        [this] { return _SupportWhatIliked_Action(); });
    registerMenuHandler(MenuTexts::SupportMySuggestions,
                        [this] { return _SupportMySuggestions_Action(); });
    registerMenuHandler(MenuTexts::SupportProblemsIhad,
                        [this] { return _SupportProblemsIhad_Action(); });
    registerMenuHandler(MenuTexts::SupportCheckforUpdate,
                        [this] { return _SupportCheckforUpdate_Action(); });
    registerMenuHandler(MenuTexts::SupportSite, [this] { return _SupportSite_Action(); });
}

double App::leadingNumber(const QString& text)
{
    // Blanks before the number are skipped and a sign is read; then digits with at most one
    // decimal point. No exponent: a version number has none, so "1e3" reads as 1, and "1.2.3"
    // as 1.2.
    static const QRegularExpression number(QStringLiteral(R"(^\s*([+-]?(\d+\.?\d*|\.\d+)))"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
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

void App::Quit(QuitBy by)
{
    if (by == QuitBy::Session)
        quitBySession = true;
    if (!quitting) {
        quitting = true;
        closeAllWindows();
    }
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
