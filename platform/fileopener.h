#pragma once

// Opens a text file of ours in the user's application for it without waiting: through xdg-open,
// and when that cannot, through the default application for text/plain, started as a desktop
// session starts it. Nothing opening it is told to the user.

#include <QObject>
#include <QString>

#include <functional>

class FileOpener : public QObject
{
    Q_OBJECT
public:
    using Report = std::function<void(const QString& text)>;

    // Begins opening PATH and returns at once; REPORT gets the reason when nothing opened it.
    // The opener belongs to the application object and deletes itself when done.
    static void open(const QString& path, Report report);

    // The desktop entry of a desktop file id in the applications folders, as launchers find it
    // (a "-" in the id may stand for a subfolder); empty when there is none.
    static QString desktopEntryPath(const QString& desktopId);

private:
    FileOpener(QString path, Report report);

    void tryXdgOpen();
    void askTextDefault();
    void launch(const QString& desktopId);
    void fail(const QString& reason);
    // Runs a program and hands THEN whether it ended well, with its standard output when asked
    // for. Otherwise its output goes where ours goes: a pipe of ours would break once Kelvora has
    // quit, and an editor writing to it then would be killed by SIGPIPE.
    void run(const QString& program, const QStringList& arguments, bool readOutput,
             std::function<void(bool succeeded, const QByteArray& output)> then);

    QString path;
    Report report;
};
