#pragma once

// The Linux/Qt implementation of the platform seam: xdg-open through QDesktopServices,
// QProcess for scripts and commands, QClipboard, the primary screen's metrics.

#include "platform/platform.h"

#include <QAbstractNativeEventFilter>
#include <QElapsedTimer>
#include <QPointer>

#include <array>
#include <memory>

class QEventLoop;
class QMimeData;

class QtPlatform : public Platform
{
public:
    // Sounds are played by the player program in PLAYER_FOLDER, the running executable's folder
    // when not given.
    explicit QtPlatform(QString playerFolder = QString());
    ~QtPlatform() override;

    void openUrl(const QString& address) override;
    void openFile(const QString& path) override;
    ProcessResult runProcess(const ProcessRequest& request) override;
    void playSound(const Sound& sound) override;
    bool optionKeyDown() const override;
    bool mouseButtonDown() const override;
    bool modifierKeyDown() const override;
    qint64 ticks() const override;
    double currentUnixTime() const override;
    QRect screenGeometry() const override;
    QRect availableGeometry() const override;
    bool clipboardHasText(Selection selection = Selection::Clipboard) const override;
    QString clipboardText(Selection selection = Selection::Clipboard) const override;
    void setClipboardText(const QString& text, Selection selection = Selection::Clipboard) override;
    ClipboardContents clipboardContents(Selection selection, qint64 sizeLimit) const override;
    void setClipboardContents(const ClipboardContents& contents, Selection selection) override;
    bool ownsClipboard(Selection selection) const override;
    bool waitForClipboardFetch(int timeoutMs, bool primaryToo) override;
    QStringList focusedWindowClass() const override;
    void pauseKeepingEvents(int milliseconds) override;
    QString chooseOpenFile(const QString& caption, const QString& filter,
                           const QString& folder) override;
    void showMessage(const QString& title, const QString& text) override;

private:
    // Runs the loop until it is told to quit, dropping the user's input meanwhile.
    static void runDroppingInput(QEventLoop& loop);

    QElapsedTimer clock;
    QString playerFolder;
    // The typer's text on each selection while Kelvora still owns it, and what tells who asks.
    std::array<QPointer<QMimeData>, 2> typedText;
    std::unique_ptr<QAbstractNativeEventFilter> selectionRequests;
};
