#include "buttons/typer.h"

#include "app/bundleresources.h"
#include "app/texts.h"
#include "buttons/clipboardreference.h"
#include "buttons/typerexpansion.h"
#include "platform/platform.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <QTimer>

// A chosen entry is expanded, put on the clipboard, pasted into the application the user works
// in by the typing script, and the earlier clipboard text is put back.

namespace
{

// A snippet that does not end is stopped after this long; what it printed until then is used.
constexpr int snippetTimeLimitMs = 30000;
// How long the expanded text stays on the clipboard for the target to fetch it.
constexpr int restorePauseMs = 250;
// While the entry menu still holds its grab, or the user still holds a modifier key, the
// typing waits for it, up to about a second each.
constexpr int waitStepMs = 10;
constexpr int waitSteps = 100;

const QString shellWhat = QStringLiteral("the shell command \"%1\"");
const QString phpWhat = QStringLiteral("the PHP snippet \"%1\"");
const QString javaScriptWhat = QStringLiteral("the JavaScript snippet \"%1\"");
const QString cannotRun = QStringLiteral("The typer was not typed: %1 could not be run (%2).");
const QString phpMissing = QStringLiteral(" Typers need the PHP interpreter (package php-cli).");
const QString nodeMissing = QStringLiteral(" Typers need Node.js (package nodejs).");
const QString cannotWrite = QStringLiteral(
    "The typer was not typed: the snippet file for %1 could not be written in %2 (%3).");
const QString tooMuchOutput = QStringLiteral(
    "The typer was not typed: %1 printed more than %2 MB and was stopped; nothing of it is typed.");
const QString stopped =
    QStringLiteral("%1 did not end within %2 seconds and was stopped; what it printed until then "
                   "is typed.");
const QString failed = QStringLiteral("%1 failed: %2");
const QString exitStatus = QStringLiteral("exit status %1");
const QString endedAbnormally = QStringLiteral("it ended abnormally");

// Node evaluates the snippet file so that, as typers expect of JavaScript, the output is the
// value of its last expression. Console output is dropped, not typed; an error is written as
// one line ("SyntaxError: ..."), which is what the user is told.
const QString nodeRunner = QStringLiteral(
    "const fs = require('fs'), vm = require('vm'), file = process.argv[1];"
    "console.log = console.info = console.debug = console.warn = console.error = () => {};"
    "try {"
    "  const result = vm.runInThisContext(fs.readFileSync(file, 'utf8'), { filename: file });"
    "  if (result !== undefined) process.stdout.write(String(result) + '\\n');"
    "} catch (e) { process.stderr.write(String(e) + '\\n'); process.exitCode = 1; }");

// Terminal emulators take Ctrl+V as a control character. Nearly all of them paste with
// Shift+Insert, some from the PRIMARY selection, some from the clipboard. They are told by
// either half of their window class, as a whole name.
const QStringList terminalClasses =
    QStringLiteral("xterm uxterm rxvt urxvt st st-256color konsole kitty alacritty xfce4-terminal "
                   "lxterminal gnome-terminal gnome-terminal-server mate-terminal qterminal "
                   "terminator tilix sakura guake tilda yakuake terminology cool-retro-term "
                   "org.wezfurlong.wezterm foot footclient contour com.mitchellh.ghostty kgx "
                   "org.gnome.console mlterm roxterm x-terminal-emulator")
        .split(QLatin1Char(' '));
const QString terminalPasteKey = QStringLiteral("shift+Insert");

bool isTerminal(const QStringList& windowClass)
{
    for (const QString& name : windowClass) {
        if (terminalClasses.contains(name, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

QString shortened(const QString& code)
{
    const QString line = code.simplified();
    return line.size() > 60 ? line.left(57) + QStringLiteral("...") : line;
}

QString capitalised(QString sentence)
{
    sentence[0] = sentence[0].toUpper();
    return sentence;
}

// A snippet that ran but failed is told by the first line of its error output, else by its
// exit status; the paste goes ahead with what it printed.
QString failureOf(const QString& what, const ProcessResult& result)
{
    if (result.timedOut || result.exitCode == 0)
        return QString();
    QString reason;
    const QStringList lines = QString::fromUtf8(result.standardError).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        reason = line.simplified();
        if (!reason.isEmpty())
            break;
    }
    if (reason.isEmpty())
        reason = result.exitCode < 0 ? endedAbnormally : exitStatus.arg(result.exitCode);
    return failed.arg(capitalised(what), reason);
}

} // namespace

Typer::Typer(Platform& platformSeam, BundleResources& typingScripts)
    : platform(platformSeam), resources(typingScripts)
{
}

void Typer::tell(const QString& text)
{
    if (holdingMessages)
        heldMessages.append(text);
    else
        platform.showMessage(Texts::appName, text);
}

void Typer::tellFailed(const SnippetRun& run)
{
    if (!run.failed.isEmpty())
        tell(run.failed);
}

QString Typer::told(const Output& output)
{
    if (!output.failure.isEmpty())
        tell(output.failure);
    return output.text;
}

// The clipboard's text goes into the environment only when the code refers to it, so an
// unrelated snippet cannot fail on a clipboard too large for the environment.
Typer::SnippetRun Typer::runSnippet(ProcessRequest request, const QString& code,
                                    const QString& what, const QString& missingHint)
{
    request.timeoutMs = snippetTimeLimitMs;
    if (ClipboardReference::refersToVariable(code))
        request.environment.insert(ClipboardReference::variable, platform.clipboardHasText()
                                                                     ? platform.clipboardText()
                                                                     : QString());
    const ProcessResult result = platform.runProcess(request);
    SnippetRun run;
    if (!result.started) {
        run.output.failure = cannotRun.arg(what, result.errorText) + missingHint;
        return run;
    }
    if (result.overflowed) {
        run.output.failure = tooMuchOutput.arg(what, QString::number(request.outputLimit >> 20));
        return run;
    }
    if (result.timedOut)
        tell(stopped.arg(capitalised(what), QString::number(snippetTimeLimitMs / 1000)));
    run.output.text = QString::fromUtf8(result.standardOutput);
    run.timedOut = result.timedOut;
    run.failed = failureOf(what, result);
    return run;
}

std::unique_ptr<QTemporaryFile> Typer::writeSnippetFile(const QByteArray& contents,
                                                        const QString& suffix, const QString& what,
                                                        QString& failure)
{
    // Qt gives an empty temporary folder when TMPDIR names none; never fall back to "/".
    const QString folder = QDir::tempPath();
    if (folder.isEmpty()) {
        failure =
            cannotWrite.arg(what, qEnvironmentVariable("TMPDIR"), QStringLiteral("no such folder"));
        return nullptr;
    }
    auto file =
        std::make_unique<QTemporaryFile>(folder + QStringLiteral("/kelvora-XXXXXX") + suffix);
    if (!file->open() || file->write(contents) != contents.size() || !file->flush()) {
        failure = cannotWrite.arg(what, QDir::toNativeSeparators(folder), file->errorString());
        return nullptr;
    }
    return file;
}

// The snippet file's contents are the interpreters' code; its path is their argument.
Typer::SnippetRun Typer::runPhp(const QString& code, const QString& what)
{
    SnippetRun run;
    const auto file =
        writeSnippetFile((QStringLiteral("<?php  ") + code + QStringLiteral(" ?>")).toUtf8(),
                         QStringLiteral(".php"), what, run.output.failure);
    if (!file)
        return run;
    ProcessRequest request;
    request.program = QStringLiteral("php");
    request.arguments = {QStringLiteral("-f"), file->fileName()};
    return runSnippet(request, code, what, phpMissing);
}

Typer::Output Typer::shell(const QString& command)
{
    ProcessRequest request;
    request.program = QStringLiteral("/bin/sh");
    request.arguments = {QStringLiteral("-c"), ClipboardReference::forShell(command)};
    const SnippetRun run =
        runSnippet(request, request.arguments.last(), shellWhat.arg(shortened(command)), QString());
    tellFailed(run);
    return run.output;
}

Typer::Output Typer::php(const QString& code)
{
    const QString withClipboard = ClipboardReference::forPhp(code);
    const QString what = phpWhat.arg(shortened(code));
    const SnippetRun first = runPhp(withClipboard + QLatin1Char(';'), what);
    // A bare expression prints nothing; its value is what the user wants. A snippet that was
    // stopped, or could not be run, is not run a second time.
    if (!first.output.text.isEmpty() || first.timedOut || !first.output.failure.isEmpty()) {
        tellFailed(first);
        return first.output;
    }
    const SnippetRun value =
        runPhp(QStringLiteral("var_export(") + withClipboard + QStringLiteral(");"), what);
    // The second run is ours: the code failed only when it failed as written too, and then
    // its own error is the one that helps.
    if (!value.failed.isEmpty())
        tellFailed(first);
    return value.output;
}

Typer::Output Typer::phpFromFile(const QString& code)
{
    return runPhp(code, phpWhat.arg(shortened(code))).output;
}

Typer::Output Typer::javaScript(const QString& code)
{
    const QString withClipboard = ClipboardReference::forJavaScript(code);
    const QString what = javaScriptWhat.arg(shortened(code));
    SnippetRun run;
    const auto file =
        writeSnippetFile(withClipboard.toUtf8(), QStringLiteral(".js"), what, run.output.failure);
    if (!file)
        return run.output;
    ProcessRequest request;
    request.program = QStringLiteral("node");
    request.arguments = {QStringLiteral("-e"), nodeRunner, QStringLiteral("--"), file->fileName()};
    run = runSnippet(request, withClipboard, what, nodeMissing);
    tellFailed(run);
    return run.output;
}

void Typer::typeOnceMenuClosed(QObject* context, const QString& typer)
{
    typeOnceMenuClosed(context, typer, waitSteps);
}

// The entry menu hides before its choice is handled, but its grab may outlive it for a moment;
// a paste sent meanwhile would go to the menu, not to the application the user works in.
void Typer::typeOnceMenuClosed(QObject* context, const QString& typer, int stepsLeft)
{
    if (QApplication::activePopupWidget() && stepsLeft > 0) {
        QTimer::singleShot(waitStepMs, context,
                           [self = *this, context, typer, stepsLeft]() mutable {
                               self.typeOnceMenuClosed(context, typer, stepsLeft - 1);
                           });
        return;
    }
    type(typer);
}

void Typer::type(const QString& typer)
{
    const bool clipboardHeldText = platform.clipboardHasText();
    const QString savedText = clipboardHeldText ? platform.clipboardText() : QString();

    const TyperExpansion::Escaped escaped = TyperExpansion::expandEscapes(typer);
    // One instant for the whole typer, so <hh>:<mm> cannot straddle a minute.
    const QDateTime now = QDateTime::currentDateTime();
    holdingMessages = true;
    const auto showHeld = qScopeGuard([this] {
        holdingMessages = false;
        const QStringList messages = std::exchange(heldMessages, {});
        for (const QString& message : messages)
            platform.showMessage(Texts::appName, message);
    });
    // The first snippet that cannot be run stops the expansion: no later snippet runs.
    QString failure;
    const QString expanded = TyperExpansion::expandTags(
        escaped.text, [&](TyperExpansion::TagKind kind, const QString& body) {
            if (!failure.isEmpty())
                return QString();
            Output output;
            switch (kind) {
            case TyperExpansion::TagKind::Shell:
                output = shell(body);
                break;
            case TyperExpansion::TagKind::Php:
                output = php(body);
                break;
            case TyperExpansion::TagKind::JavaScript:
                output = javaScript(body);
                break;
            case TyperExpansion::TagKind::DateTime:
                return TyperExpansion::dateTimeToken(body, now);
            }
            failure = output.failure;
            return output.text;
        });
    if (!failure.isEmpty()) {
        heldMessages.append(failure);
        return;
    }

    // The target is looked at now, not before the snippets ran: the user may have moved on.
    const bool terminal = isTerminal(platform.focusedWindowClass());
    const auto primary = Platform::Selection::Primary;
    const bool primaryHeldText = terminal && platform.clipboardHasText(primary);
    const QString savedPrimary = primaryHeldText ? platform.clipboardText(primary) : QString();

    platform.setClipboardText(expanded);
    QVariantList typing{QVariant(qint64(escaped.lineEndFlag))};
    if (terminal) {
        platform.setClipboardText(expanded, primary);
        typing << terminalPasteKey;
    }
    // The user may still hold the modifiers of the click or shortcut that chose the entry; a
    // held Alt or Shift would turn the paste key into another key. The typing script's
    // --clearmodifiers covers what is still held after that.
    for (int step = 0; step < waitSteps && platform.modifierKeyDown(); ++step)
        platform.pauseKeepingEvents(waitStepMs);
    resources.doTypingAs(typing);
    if (clipboardHeldText || primaryHeldText) {
        // The target fetches the pasted text from us after the paste key: keep serving it.
        platform.pauseKeepingEvents(restorePauseMs);
        if (clipboardHeldText)
            platform.setClipboardText(savedText);
        if (primaryHeldText)
            platform.setClipboardText(savedPrimary, primary);
    }
}
