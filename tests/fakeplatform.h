#pragma once

// A recording stand-in for the platform seam: it remembers what was opened, run and played,
// answers from values a test sets, and can be told to fail.

#include "platform/platform.h"

#include <QList>
#include <QStringList>

#include <functional>

class FakePlatform : public Platform
{
public:
    void openUrl(const QString& address) override { openedUrls << address; }
    void openFile(const QString& path) override { openedFiles << path; }
    ProcessResult runProcess(const ProcessRequest& request) override;
    void playSound(const Sound& sound) override;
    bool optionKeyDown() const override { return optionKey; }
    bool mouseButtonDown() const override { return mouseDown; }
    bool modifierKeyDown() const override { return modifierKeyAsks-- > 0; }
    qint64 ticks() const override { return tickCount; }
    double currentUnixTime() const override { return now; }
    QRect screenGeometry() const override { return screen; }
    QRect availableGeometry() const override { return available; }
    bool clipboardHasText(Selection selection = Selection::Clipboard) const override
    {
        return selection == Selection::Primary ? primaryHoldsText : clipboardHoldsText;
    }
    QString clipboardText(Selection selection = Selection::Clipboard) const override
    {
        return selection == Selection::Primary ? primary : clipboard;
    }
    void setClipboardText(const QString& text, Selection selection = Selection::Clipboard) override
    {
        const bool isPrimary = selection == Selection::Primary;
        (isPrimary ? primary : clipboard) = text;
        (isPrimary ? primaryHoldsText : clipboardHoldsText) = true;
        (isPrimary ? primaryHistory : clipboardHistory) << text;
    }
    ClipboardContents clipboardContents(Selection selection, qint64 sizeLimit) const override;
    void setClipboardContents(const ClipboardContents& contents, Selection selection) override;
    bool ownsClipboard(Selection selection) const override
    {
        Q_UNUSED(selection);
        return true;
    }
    bool waitForClipboardFetch(int timeoutMs, bool primaryToo) override
    {
        fetchWaits << QString("%1%2").arg(timeoutMs).arg(primaryToo ? " and primary" : "");
        return true;
    }
    QStringList focusedWindowClass() const override { return focusedClass; }
    void pauseKeepingEvents(int milliseconds) override { pauses << milliseconds; }
    QString chooseOpenFile(const QString& caption, const QString& filter,
                           const QString& folder) override
    {
        openDialogs << filter + " in " + folder;
        Q_UNUSED(caption);
        return chosenFile;
    }
    void showMessage(const QString& title, const QString& text) override
    {
        Q_UNUSED(title);
        messages << text;
    }

    // Recorded calls.
    QStringList openedUrls;
    QStringList openedFiles;
    QList<ProcessRequest> processes;
    QStringList soundsPlayed; // the sound's file name
    QStringList clipboardHistory;
    QStringList primaryHistory;
    QList<int> pauses;
    QStringList fetchWaits;  // "TIMEOUT_MS", "TIMEOUT_MS and primary"
    QStringList openDialogs; // "FILTER in FOLDER"
    QStringList messages;

    // Answers. A process is answered by processResponder when it is set, else run for real when
    // runsRealProcesses is set, else taken as run with success and no output.
    std::function<ProcessResult(const ProcessRequest&)> processResponder;
    bool runsRealProcesses = false;
    bool optionKey = false;
    bool mouseDown = false;
    mutable int modifierKeyAsks = 0; // a modifier key is held for this many more questions
    qint64 tickCount = 0;
    double now = 1.7e9;
    QRect screen{0, 0, 1440, 900};
    QRect available{0, 25, 1440, 875};
    QString clipboard;
    bool clipboardHoldsText = false;
    QString primary;
    bool primaryHoldsText = false;
    QStringList clipboardLeftOut; // formats the clipboard holds beyond what is read of it
    QStringList focusedClass;
    QString chosenFile;
};
