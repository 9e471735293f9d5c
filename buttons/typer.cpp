#include "buttons/typer.h"

#include "app/bundleresources.h"
#include "app/texts.h"
#include "buttons/clipboardreference.h"
#include "buttons/typerexpansion.h"
#include "platform/platform.h"
#include "platform/temporaryfiles.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>
#include <QTimer>

// A chosen entry is expanded, put on the clipboard, pasted into the application the user works
// in by the typing script, and the earlier clipboard is put back once the text was fetched.

namespace
{

// A snippet that does not end is stopped after this long, and the typer is not typed.
constexpr int snippetTimeLimitMs = 30000;
// How long the expanded text stays on the clipboard when the target does not fetch it.
constexpr int fetchBoundMs = 10000;
// What is kept of each selection's earlier contents to be put back after the paste.
constexpr qint64 keptLimit = qint64(64) << 20;
// While the entry menu still holds its grab, or the user still holds a modifier key, the
// typing waits for it, up to about a second each.
constexpr int waitStepMs = 10;
constexpr int waitSteps = 100;
// Linux takes no string of a new program's environment longer than 32 pages, its name and the
// "=" included.
constexpr qsizetype environmentStringLimit = 32 * 4096;

const QString shellWhat = QStringLiteral("the shell command \"%1\"");
const QString phpWhat = QStringLiteral("the PHP snippet \"%1\"");
const QString javaScriptWhat = QStringLiteral("the JavaScript snippet \"%1\"");
const QString notTyped = QStringLiteral("The typer was not typed: %1");
const QString cannotRun = QStringLiteral("%1 could not be run (%2).");
const QString phpMissing = QStringLiteral(" Typers need the PHP interpreter (package php-cli).");
const QString nodeMissing = QStringLiteral(" Typers need Node.js (package nodejs).");
const QString cannotWrite = QStringLiteral("the file for %1 could not be written in %2 (%3).");
const QString tooMuchOutput = QStringLiteral("%1 printed more than %2 MB and was stopped.");
const QString stopped = QStringLiteral("%1 did not end within %2 seconds and was stopped.");
const QString failed = QStringLiteral("%1 failed: %2");
const QString exitStatus = QStringLiteral("exit status %1");
const QString endedAbnormally = QStringLiteral("it ended abnormally");
const QString notKept =
    QStringLiteral("The typer was typed, but the clipboard held more than %1 MB, more than "
                   "Kelvora keeps while it types: what it held as %2 was not put back.");

// Node evaluates the snippet file so that, as typers expect of JavaScript, the output is the
// value of its last expression. Console output is dropped, not typed; an error is written as
// one line ("SyntaxError: ..."), which is what the user is told. Node would queue what a
// snippet writes to a pipe until the snippet yields, which an endless loop never does: the
// streams write at once instead, waiting while the pipe is full, so the output bound can stop
// the snippet before it fills the memory.
const QString nodeRunner = QStringLiteral(
    "const fs = require('fs'), vm = require('vm'), file = process.argv[1];"
    "const full = new Int32Array(new SharedArrayBuffer(4));"
    "const writer = (fd) => (chunk, encoding, callback) => {"
    "  if (typeof encoding === 'function') { callback = encoding; encoding = undefined; }"
    "  let data = typeof chunk === 'string' ? Buffer.from(chunk, encoding) : Buffer.from(chunk);"
    "  while (data.length > 0) {"
    "    try { data = data.subarray(fs.writeSync(fd, data)); }"
    "    catch (e) { if (e.code !== 'EAGAIN') throw e; Atomics.wait(full, 0, 0, 1); }"
    "  }"
    "  if (callback) callback();"
    "  return true;"
    "};"
    "process.stdout.write = writer(1); process.stderr.write = writer(2);"
    "console.log = console.info = console.debug = console.warn = console.error = () => {};"
    "try {"
    "  const result = vm.runInThisContext(fs.readFileSync(file, 'utf8'), { filename: file });"
    "  if (result !== undefined) process.stdout.write(String(result) + '\\n');"
    "} catch (e) { process.stderr.write(String(e) + '\\n'); process.exitCode = 1; }");

// PHP code around an expression, so that it yields what the expression prints or, when it
// prints nothing, its value. The printed text passes through at once; the buffer only notes
// that some came.
const QString phpValueOpen = QStringLiteral(
    "$__kelvoraPrinted = false; ob_start(function ($text) use (&$__kelvoraPrinted) { "
    "$__kelvoraPrinted = $__kelvoraPrinted || $text !== ''; return $text; }, 1); "
    "$__kelvoraValue = (");
const QString phpValueClose =
    QStringLiteral("); if (!$__kelvoraPrinted) var_export($__kelvoraValue);");

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

// Why a snippet that ran failed: how it was stopped, else the first line of its error output,
// else its exit status. Empty when it succeeded.
QString failureOf(const QString& what, const ProcessResult& result, qint64 outputLimit)
{
    if (result.overflowed)
        return tooMuchOutput.arg(what, QString::number(outputLimit >> 20));
    if (result.timedOut)
        return stopped.arg(what, QString::number(snippetTimeLimitMs / 1000));
    if (result.exitCode == 0)
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
    return failed.arg(what, reason);
}

} // namespace

Typer::Typer(Platform& platformSeam, BundleResources& typingScripts)
    : platform(platformSeam), resources(typingScripts)
{
}

QString Typer::told(const Output& output)
{
    if (!output.failure.isEmpty())
        platform.showMessage(Texts::appName, output.failure);
    return output.text;
}

// The clipboard's text is given only to a snippet that refers to it: in a file, which holds
// any text whole, and in the environment too when it fits there.
Typer::Output Typer::runSnippet(ProcessRequest request, const QString& code, const QString& what,
                                const QString& missingHint)
{
    request.timeoutMs = snippetTimeLimitMs;
    Output output;
    std::unique_ptr<QTemporaryFile> clipboardFile;
    if (ClipboardReference::refersToVariable(code)) {
        const QString text = platform.clipboardHasText() ? platform.clipboardText() : QString();
        const QByteArray bytes = text.toUtf8();
        clipboardFile = writeSnippetFile(bytes, QStringLiteral(".txt"), what, output.failure);
        if (!clipboardFile)
            return output;
        request.environment.insert(ClipboardReference::fileVariable, clipboardFile->fileName());
        if (ClipboardReference::variable.size() + 1 + bytes.size() < environmentStringLimit)
            request.environment.insert(ClipboardReference::variable, text);
    }
    const ProcessResult result = platform.runProcess(request);
    if (!result.started) {
        // Only a program that is not there needs its package; any other reason is the system's.
        const bool missing = QStandardPaths::findExecutable(request.program).isEmpty();
        output.failure = notTyped.arg(cannotRun.arg(what, result.errorText)) +
                         (missing ? missingHint : QString());
        return output;
    }
    output.text = QString::fromUtf8(result.standardOutput);
    const QString failure = failureOf(what, result, request.outputLimit);
    if (!failure.isEmpty())
        output.failure = notTyped.arg(failure);
    return output;
}

std::unique_ptr<QTemporaryFile> Typer::writeSnippetFile(const QByteArray& contents,
                                                        const QString& suffix, const QString& what,
                                                        QString& failure)
{
    // Qt gives an empty temporary folder when TMPDIR names none; never fall back to "/".
    const QString folder = QDir::tempPath();
    if (folder.isEmpty()) {
        failure = notTyped.arg(cannotWrite.arg(what, qEnvironmentVariable("TMPDIR"),
                                               QStringLiteral("no such folder")));
        return nullptr;
    }
    auto file =
        std::make_unique<QTemporaryFile>(folder + QStringLiteral("/kelvora-XXXXXX") + suffix);
    if (!file->open() || file->write(contents) != contents.size() || !file->flush()) {
        failure = notTyped.arg(
            cannotWrite.arg(what, QDir::toNativeSeparators(folder), file->errorString()));
        return nullptr;
    }
    TemporaryFiles::removeAtExit(*file);
    return file;
}

// The snippet file's contents are the interpreters' code; its path is their argument.
std::optional<Typer::Output> Typer::runPhp(const QString& code, const QString& what,
                                           bool onlyWhenValid)
{
    Output output;
    const QString prelude =
        ClipboardReference::refersToVariable(code) ? ClipboardReference::phpPrelude : QString();
    const auto file = writeSnippetFile(
        (QStringLiteral("<?php  ") + prelude + code + QStringLiteral(" ?>")).toUtf8(),
        QStringLiteral(".php"), what, output.failure);
    if (!file)
        return output;
    ProcessRequest request;
    request.program = QStringLiteral("php");
    if (onlyWhenValid) {
        request.arguments = {QStringLiteral("-l"), file->fileName()};
        request.timeoutMs = snippetTimeLimitMs;
        const ProcessResult check = platform.runProcess(request);
        if (!check.started || check.timedOut || check.overflowed || check.exitCode != 0)
            return std::nullopt;
    }
    request.arguments = {QStringLiteral("-f"), file->fileName()};
    return runSnippet(request, code, what, phpMissing);
}

Typer::Output Typer::shell(const QString& command)
{
    ProcessRequest request;
    request.program = QStringLiteral("/bin/sh");
    request.arguments = {QStringLiteral("-c"), ClipboardReference::forShell(command)};
    return runSnippet(request, request.arguments.last(), shellWhat.arg(shortened(command)),
                      QString());
}

Typer::Output Typer::php(const QString& code)
{
    const QString withClipboard = ClipboardReference::forPhp(code);
    const QString what = phpWhat.arg(shortened(code));
    // A snippet runs once, whatever it does or prints: whether it is one expression is asked of
    // PHP's syntax check before, which runs nothing. An expression yields what it prints, or
    // else its value, so a bare sum yields the sum; anything else runs as statements.
    if (auto value = runPhp(phpValueOpen + withClipboard + phpValueClose, what, true))
        return *value;
    return *runPhp(withClipboard + QLatin1Char(';'), what);
}

Typer::Output Typer::phpFromFile(const QString& code)
{
    return *runPhp(code, phpWhat.arg(shortened(code)));
}

Typer::Output Typer::javaScript(const QString& code)
{
    const QString withClipboard = ClipboardReference::forJavaScript(code);
    const QString what = javaScriptWhat.arg(shortened(code));
    Output output;
    const auto file =
        writeSnippetFile(withClipboard.toUtf8(), QStringLiteral(".js"), what, output.failure);
    if (!file)
        return output;
    ProcessRequest request;
    request.program = QStringLiteral("node");
    request.arguments = {QStringLiteral("-e"), nodeRunner, QStringLiteral("--"), file->fileName()};
    return runSnippet(request, withClipboard, what, nodeMissing);
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
    const TyperExpansion::Escaped escaped = TyperExpansion::expandEscapes(typer);
    // One instant for the whole typer, so <hh>:<mm> cannot straddle a minute.
    const QDateTime now = QDateTime::currentDateTime();
    // A typer is typed only when every snippet in it succeeded: what a failed or stopped
    // snippet printed, and the text around it, may be a command that must not run without it
    // (its trailing line end would press Return). The first failure ends the expansion: no
    // later snippet runs, no key is sent, and the clipboard keeps its text.
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
        platform.showMessage(Texts::appName, failure);
        return;
    }

    // The target is looked at now, not before the snippets ran: the user may have moved on. What
    // the selections hold is saved now too, so that a copy made while a snippet ran is kept.
    const bool terminal = isTerminal(platform.focusedWindowClass());
    const auto clipboard = Platform::Selection::Clipboard;
    const auto primary = Platform::Selection::Primary;
    const ClipboardContents savedClipboard = platform.clipboardContents(clipboard, keptLimit);
    const ClipboardContents savedPrimary =
        terminal ? platform.clipboardContents(primary, keptLimit) : ClipboardContents();

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
    if (!savedClipboard.formats.isEmpty() || !savedPrimary.formats.isEmpty()) {
        // The target fetches the pasted text from us after the paste key, a busy one long
        // after: keep serving it until then. A terminal may fetch it from PRIMARY, also when
        // PRIMARY held nothing before. A selection that another application has taken
        // meanwhile holds what the user copied since, and stays so.
        platform.waitForClipboardFetch(fetchBoundMs, terminal);
        if (!savedClipboard.formats.isEmpty() && platform.ownsClipboard(clipboard))
            platform.setClipboardContents(savedClipboard, clipboard);
        if (!savedPrimary.formats.isEmpty() && platform.ownsClipboard(primary))
            platform.setClipboardContents(savedPrimary, primary);
    }
    const QStringList leftOut = savedClipboard.leftOut + savedPrimary.leftOut;
    if (!leftOut.isEmpty())
        platform.showMessage(Texts::appName, notKept.arg(QString::number(keptLimit >> 20),
                                                         leftOut.join(QStringLiteral(", "))));
}
