#pragma once

// The typer's side effects in one place: running its snippets, waiting for the entry menu and
// the held modifier keys to let go, putting the expanded text on the clipboard, having the
// typing script paste it, and putting the earlier clipboard text back. A typer with a snippet
// that failed is not typed at all; the user is told why.

#include <QString>

#include <memory>
#include <optional>

class BundleResources;
class Platform;
class QObject;
class QTemporaryFile;
struct ProcessRequest;

class Typer
{
public:
    Typer(Platform& platform, BundleResources& resources);

    // A snippet's output, or why the typer cannot be typed (the snippet failed or was stopped,
    // an interpreter is missing, a file could not be written): then the expansion stops, the
    // clipboard keeps its text and the user is told the failure.
    struct Output {
        QString text;
        QString failure;
    };

    // Types the typer once the entry menu has let go of its grab, up to about a second later;
    // the wait ends with the context object.
    void typeOnceMenuClosed(QObject* context, const QString& typer);
    // Expands the typer and types it now.
    void type(const QString& typer);

    Output shell(const QString& command);
    Output php(const QString& code);
    // Runs the code as a PHP file's contents.
    Output phpFromFile(const QString& code);
    Output javaScript(const QString& code);

    // The output's text; its failure, if any, is told to the user.
    QString told(const Output& output);

private:
    void typeOnceMenuClosed(QObject* context, const QString& typer, int stepsLeft);
    Output runSnippet(ProcessRequest request, const QString& code, const QString& what,
                      const QString& missingHint);
    // Runs the code as a PHP file's contents. With onlyWhenValid, PHP's syntax check, which runs
    // nothing, is asked first: a file it refuses is not run, and there is no output.
    std::optional<Output> runPhp(const QString& code, const QString& what,
                                 bool onlyWhenValid = false);
    // A new file in the temporary folder holding the snippet; it is removed when the returned
    // object goes, that is once the snippet has run. Null, and the reason in failure, when it
    // could not be written.
    static std::unique_ptr<QTemporaryFile> writeSnippetFile(const QByteArray& contents,
                                                            const QString& suffix,
                                                            const QString& what, QString& failure);

    Platform& platform;
    BundleResources& resources;
};
