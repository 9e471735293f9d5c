#include "app/bundleresources.h"

#include "app/texts.h"
#include "platform/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <unistd.h>

namespace
{
// The bundle's file names; the rest of the program reaches them only through the accessors.
constexpr QLatin1StringView activateAppScript{"activateApp.scpt"};
constexpr QLatin1StringView makeStartupItemScript{"makeStartupItemAs.scpt"};
constexpr QLatin1StringView doTypingScript{"doTypingAs.scpt"};
constexpr QLatin1StringView getVersionScript{"getVersionAs.scpt"};
constexpr QLatin1StringView snap1File{"snap1.aif"};
constexpr QLatin1StringView switchOnFile{"switchOn.aif"};
constexpr QLatin1StringView switchOffFile{"switchOff.aif"};

// Each script bounds its own waiting (xdotool at about a second, curl at five); these limits
// only catch a script that hangs, so that the strip is not frozen for good.
constexpr int shortScriptMs = 10000;
constexpr int versionScriptMs = 15000;

QString firstLine(const QByteArray& output)
{
    const QString text = QString::fromLocal8Bit(output).trimmed();
    return text.left(text.indexOf(QLatin1Char('\n')));
}
} // namespace

BundleResources::BundleResources(Platform& platformSeam, QString resourcesFolder)
    : platform(platformSeam), folder(std::move(resourcesFolder))
{
}

QString BundleResources::defaultResourcesFolder()
{
    const QString bundle = bundlePath();
    return bundle.isEmpty() ? QString() : bundle + QStringLiteral("/Contents/Resources");
}

namespace
{
// The running executable's real path, links resolved, in the bytes the file system holds.
QByteArray executableBytes()
{
    QByteArray bytes(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", bytes.data(), bytes.size());
    if (length <= 0 || length >= bytes.size())
        return QFile::encodeName(QCoreApplication::applicationFilePath());
    bytes.truncate(length);
    return bytes;
}
} // namespace

QString BundleResources::spelledPath(const QByteArray& bytes, QString* unreadable)
{
    const QString decoded = QFile::decodeName(bytes);
    if (QFile::encodeName(decoded) == bytes)
        return decoded;
    if (unreadable)
        *unreadable = decoded;
    return QString();
}

QString BundleResources::bundlePath()
{
    const QString executable = spelledPath(executableBytes());
    return executable.isEmpty() ? QString() : bundlePath(executable);
}

QString BundleResources::unreachableBundleText()
{
    QString shown;
    if (!spelledPath(executableBytes(), &shown).isEmpty())
        return QString();
    return QStringLiteral("Kelvora cannot run from %1: a folder name on that path is not UTF-8 "
                          "text, so Kelvora could not reach its scripts, pictures and entries "
                          "files there. Rename that folder or move Kelvora.app to a folder whose "
                          "path is UTF-8 text, then start it again.")
        .arg(bundlePath(shown));
}

QString BundleResources::bundlePath(const QString& executablePath)
{
    // Kelvora.app/Contents/MacOS/Kelvora: the executable, MacOS, Contents, then the bundle.
    return QDir::cleanPath(QFileInfo(executablePath).absolutePath() + QStringLiteral("/../.."));
}

std::optional<QString> BundleResources::runScript(QLatin1StringView scriptName,
                                                  const QVariantList& parameters, int timeoutMs,
                                                  bool reportFailure)
{
    // Located anew at every call, so a bundle that was moved or updated is found as it is now.
    const QFileInfo script(QDir(folder).filePath(scriptName));
    const auto failed = [&](const QString& problem) -> std::optional<QString> {
        if (reportFailure)
            platform.showMessage(
                Texts::appName,
                QStringLiteral("Could not run the script \"%1\": %2.").arg(scriptName, problem));
        return std::nullopt;
    };
    if (!script.exists())
        return failed(
            QStringLiteral("it is missing from %1").arg(QDir::toNativeSeparators(folder)));

    ProcessRequest request;
    request.program = script.canonicalFilePath(); // following links to the real file
    for (const QVariant& parameter : parameters)
        request.arguments << parameter.toString();
    request.timeoutMs = timeoutMs;

    const ProcessResult result = platform.runProcess(request);
    if (!result.started)
        return failed(result.errorText);
    if (result.timedOut)
        return failed(
            QStringLiteral("it took longer than %1 seconds and was stopped").arg(timeoutMs / 1000));
    if (result.exitCode != 0) {
        const QString reason = firstLine(result.standardError);
        return failed(reason.isEmpty()
                          ? QStringLiteral("it ended with exit code %1").arg(result.exitCode)
                          : reason);
    }
    return QString::fromUtf8(result.standardOutput).trimmed();
}

void BundleResources::activateApp(const QVariantList& parameters)
{
    runScript(activateAppScript, parameters, shortScriptMs);
}

bool BundleResources::makeStartupItemAs(const QVariantList& parameters)
{
    return runScript(makeStartupItemScript, parameters, shortScriptMs).has_value();
}

void BundleResources::doTypingAs(const QVariantList& parameters)
{
    runScript(doTypingScript, parameters, shortScriptMs);
}

QString BundleResources::getVersionAs(const QVariantList& parameters)
{
    return runScript(getVersionScript, parameters, versionScriptMs, false).value_or(QString());
}

std::shared_ptr<Sound> BundleResources::keptSound(KeptSound& kept, QLatin1StringView fileName)
{
    // The flag goes up before the attempt: a sound that fails to load is not looked for again.
    if (!kept.loadFlag) {
        kept.loadFlag = true;
        ++soundLoads;
        if (QFileInfo(folder).isDir())
            kept.sound = Sound::load(QDir(folder).filePath(fileName));
    }
    return kept.sound;
}

std::shared_ptr<Sound> BundleResources::snap1()
{
    return keptSound(snap1Sound, snap1File);
}

std::shared_ptr<Sound> BundleResources::switchOn()
{
    return keptSound(switchOnSound, switchOnFile);
}

std::shared_ptr<Sound> BundleResources::switchOff()
{
    return keptSound(switchOffSound, switchOffFile);
}

void BundleResources::play(const std::shared_ptr<Sound>& sound)
{
    if (sound)
        platform.playSound(*sound);
}

QPixmap BundleResources::loadPicture(const QString& pictureFolder, const QString& name, qreal ratio)
{
    const QDir dir(pictureFolder);
    const QString plain = dir.filePath(name + QStringLiteral(".png"));
    const QString doubled = dir.filePath(name + QStringLiteral("@2x.png"));
    // Ask for the sharp one first on a high-resolution screen, the exact one elsewhere.
    const bool high = ratio > 1.0;
    const QString candidates[2] = {high ? doubled : plain, high ? plain : doubled};
    for (const QString& path : candidates) {
        QPixmap picture;
        if (picture.load(path)) {
            // Drawn at its point size whichever file it came from.
            picture.setDevicePixelRatio(path == doubled ? 2.0 : 1.0);
            return picture;
        }
    }
    return {};
}

QPixmap BundleResources::keptPicture(QPixmap& kept, QLatin1StringView name)
{
    if (kept.isNull()) {
        ++pictureLoads;
        const qreal ratio = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? qGuiApp->devicePixelRatio()
                                : 1.0;
        kept = loadPicture(folder, name, ratio);
    }
    return kept;
}

QPixmap BundleResources::P_On()
{
    return keptPicture(pOnPicture, QLatin1StringView("P_On"));
}

QPixmap BundleResources::P_Off()
{
    return keptPicture(pOffPicture, QLatin1StringView("P_Off"));
}

QPixmap BundleResources::W()
{
    return keptPicture(wPicture, QLatin1StringView("W"));
}

QPixmap BundleResources::T()
{
    return keptPicture(tPicture, QLatin1StringView("T"));
}

QPixmap BundleResources::M()
{
    return keptPicture(mPicture, QLatin1StringView("M"));
}
