#include "platform/fileopener.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

void FileOpener::open(const QString& path, Report report)
{
    // An absolute path, so that no opener takes a name beginning with "-" for an option.
    auto* opener = new FileOpener(QFileInfo(path).absoluteFilePath(), std::move(report));
    // xdg-open reads the path as lines and drops a final line end, so it would open another
    // file; gio hands the path to the application whole.
    if (path.contains(QLatin1Char('\n')))
        opener->askTextDefault();
    else
        opener->tryXdgOpen();
}

FileOpener::FileOpener(QString filePath, Report failureReport)
    : QObject(QCoreApplication::instance()), path(std::move(filePath)),
      report(std::move(failureReport))
{
}

QString FileOpener::desktopEntryPath(const QString& desktopId)
{
    const QString direct = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopId);
    if (!direct.isEmpty() || !desktopId.contains(QLatin1Char('-')))
        return direct;
    QString nested = desktopId;
    nested[nested.indexOf(QLatin1Char('-'))] = QLatin1Char('/');
    return QStandardPaths::locate(QStandardPaths::ApplicationsLocation, nested);
}

void FileOpener::run(const QString& program, const QStringList& arguments, bool readOutput,
                     std::function<void(bool, const QByteArray&)> then)
{
    auto* process = new QProcess(this);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(readOutput ? QProcess::ForwardedErrorChannel
                                              : QProcess::ForwardedChannels);
    connect(process, &QProcess::errorOccurred, this, [process, then](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart)
            return;
        process->deleteLater();
        then(false, {});
    });
    connect(process, &QProcess::finished, this,
            [process, then, readOutput](int exitCode, QProcess::ExitStatus status) {
                process->deleteLater();
                then(status == QProcess::NormalExit && exitCode == 0,
                     readOutput ? process->readAllStandardOutput() : QByteArray());
            });
    process->start(program, arguments);
}

void FileOpener::tryXdgOpen()
{
    // Outside a desktop environment xdg-open goes by the file's content, and an empty entries
    // file is no text file to it (inode/x-empty): no application takes it. In a session without
    // a desktop environment it also waits for the application it started to end.
    run(QStringLiteral("xdg-open"), {path}, false, [this](bool opened, const QByteArray&) {
        if (opened)
            deleteLater();
        else
            askTextDefault();
    });
}

void FileOpener::askTextDefault()
{
    run(QStringLiteral("xdg-mime"),
        {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("text/plain")}, true,
        [this](bool answered, const QByteArray& output) {
            const QString desktopId = QString::fromUtf8(output).section(QLatin1Char('\n'), 0, 0);
            if (!answered || desktopId.trimmed().isEmpty())
                fail(QStringLiteral("no application is set up for text files"));
            else
                launch(desktopId.trimmed());
        });
}

void FileOpener::launch(const QString& desktopId)
{
    const QString entry = desktopEntryPath(desktopId);
    if (entry.isEmpty()) {
        fail(QStringLiteral("the application set up for text files, %1, is not installed")
                 .arg(desktopId));
        return;
    }
    // gio launches the entry as a desktop session does: its field codes, its Terminal key.
    run(QStringLiteral("gio"), {QStringLiteral("launch"), entry, path}, false,
        [this, desktopId](bool started, const QByteArray&) {
            if (started)
                deleteLater();
            else
                fail(QStringLiteral("%1 could not be started (through \"gio launch\", package "
                                    "libglib2.0-bin)")
                         .arg(desktopId));
        });
}

void FileOpener::fail(const QString& reason)
{
    report(QStringLiteral("Could not open %1: %2.").arg(path, reason));
    deleteLater();
}
