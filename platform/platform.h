#pragma once

// The seam between Kelvora and the desktop it runs on: everything that tests must intercept
// or that Linux provides differently goes through one Platform object owned by App.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QRect>
#include <QString>
#include <QStringList>

#include <utility>

class Sound;

// One program to run and wait for; parameters arrive as arguments, never through a shell
// unless the program is the shell itself.
struct ProcessRequest {
    QString program;
    QStringList arguments;
    QMap<QString, QString> environment; // added to the inherited environment
    QByteArray standardInput;
    int timeoutMs = 30000; // the process is stopped after this long
    // The process is stopped once its output (both streams together) passes this many bytes.
    qint64 outputLimit = 4 * 1024 * 1024;
};

struct ProcessResult {
    bool started = false;  // false: the program could not be run at all
    bool timedOut = false; // stopped after the time limit; the output is what came until then
    int exitCode = -1;
    QByteArray standardOutput;
    QByteArray standardError;
    QString errorText;       // the system's reason when it did not start
    bool overflowed = false; // stopped when its output passed the limit; no output is kept
};

// Everything a selection offered, format by format: the MIME type (or the X11 target's name
// where it has none) and its bytes, the text first. Formats that did not fit within the size
// asked for are only named.
struct ClipboardContents {
    QList<std::pair<QString, QByteArray>> formats;
    QStringList leftOut;
};

class Platform
{
public:
    virtual ~Platform() = default;

    // Addresses and files, opened with the user's default handler; both return at once. The
    // address reaches the handler exactly as written. A file is one of our text files and is
    // opened as one even where its content says otherwise (an empty file); when nothing opens
    // it, the user is told later, naming it.
    virtual void openUrl(const QString& address) = 0;
    virtual void openFile(const QString& path) = 0;

    // Runs a program (a bundle script, /bin/sh -c LINE, an interpreter) and waits for it while
    // the event loop keeps serving the clipboard and repaints; the user's clicks, drops and keys
    // meanwhile are dropped, and the pointer over Kelvora's windows shows it busy. Stopping it,
    // or Kelvora ending while it runs, ends every process it started, whatever session or
    // process group they moved to.
    virtual ProcessResult runProcess(const ProcessRequest& request) = 0;

    // Plays a decoded sound without blocking; does nothing where no audio device exists.
    virtual void playSound(const Sound& sound) = 0;

    // Input state.
    // Shift or Alt held now: the key that turns an entry choice into "add an entry here" and
    // puts a dropped text first. Alt alone cannot serve: it closes an open menu, and window
    // managers take Alt+click to move the window.
    virtual bool optionKeyDown() const = 0;
    virtual bool mouseButtonDown() const = 0; // any mouse button held now
    virtual qint64 ticks() const = 0;         // monotonic, sixty per second
    virtual double currentUnixTime() const = 0;
    // Shift, Control, Alt, AltGr or Super held now: any of them would turn a key sent to
    // another application into a different key.
    virtual bool modifierKeyDown() const = 0;

    // The main screen: its whole area and the work area that panels leave to windows.
    virtual QRect screenGeometry() const = 0;
    virtual QRect availableGeometry() const = 0;

    // The clipboard's text (the CLIPBOARD selection on X11), or the PRIMARY selection's (the
    // text last selected; terminals paste it with Shift+Insert), where the desktop has one.
    enum class Selection { Clipboard, Primary };
    virtual bool clipboardHasText(Selection selection = Selection::Clipboard) const = 0;
    virtual QString clipboardText(Selection selection = Selection::Clipboard) const = 0;
    // The text is watched: waitForClipboardFetch tells when the application that has the
    // keyboard focus now has fetched it.
    virtual void setClipboardText(const QString& text,
                                  Selection selection = Selection::Clipboard) = 0;
    // Every format the selection offers, read in turn until their bytes would pass sizeLimit.
    virtual ClipboardContents clipboardContents(Selection selection, qint64 sizeLimit) const = 0;
    virtual void setClipboardContents(const ClipboardContents& contents, Selection selection) = 0;
    // False once another application has put something on the selection since Kelvora did.
    virtual bool ownsClipboard(Selection selection) const = 0;
    // Waits as pauseKeepingEvents does until the application that had the keyboard focus when
    // the text was set has fetched it from the clipboard (or from PRIMARY too, when asked), or
    // the time given has passed, or neither holds the text any more. True when it was fetched.
    virtual bool waitForClipboardFetch(int timeoutMs, bool primaryToo) = 0;

    // Both halves of the WM_CLASS of the window that has the keyboard focus (instance, then
    // class); empty where that cannot be told.
    virtual QStringList focusedWindowClass() const = 0;

    // Waits with the event loop running (so other applications can fetch the clipboard from
    // us); user input meanwhile is dropped, as while a process runs.
    virtual void pauseKeepingEvents(int milliseconds) = 0;

    // The open-file dialog, opening in the folder given; an empty result means the user
    // cancelled.
    virtual QString chooseOpenFile(const QString& caption, const QString& filter,
                                   const QString& folder) = 0;

    // Tells the user about a failure without blocking the caller, ever; also written to stderr.
    // Without a display (it went away) only stderr has it.
    virtual void showMessage(const QString& title, const QString& text) = 0;
};
