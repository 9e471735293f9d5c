#include "buttons/mybevelbutton.h"
#include "buttons/typerexpansion.h"
#include "platform/qtplatform.h"
#include "tests/testsupport.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QScopeGuard>
#include <QStandardPaths>

#include <memory>

// Snippets run by the real interpreter: without it installed the row is skipped, not failed.
#define SKIP_WITHOUT_INTERPRETER(program)                                                          \
    do {                                                                                           \
        const QString needed = program;                                                            \
        if (!needed.isEmpty() && QStandardPaths::findExecutable(needed).isEmpty())                 \
            QSKIP(qPrintable(needed + " is not installed, so its snippets cannot run here"));      \
    } while (false)

// Typers: escapes, tags and date tokens, snippets run by the real shell, PHP and Node.js, the
// clipboard's text reaching them as data, and what reaches the clipboard and the user.
class TestTyper : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { typers = std::make_unique<MyBevelButton>("Typers"); }
    void cleanupTestCase() { typers.reset(); }
    void init()
    {
        fakePlatform() = FakePlatform();
        snippetResponder = nullptr;
        typings.clear();
        messagesBeforeTyping = -1;
        fakePlatform().processResponder = [this](const ProcessRequest& request) {
            if (request.program.endsWith("/doTypingAs.scpt")) {
                typings << request.arguments.join(' ') + "|" + fakePlatform().clipboard;
                messagesBeforeTyping = fakePlatform().messages.size();
                ProcessResult done;
                done.started = true;
                done.exitCode = 0;
                return done;
            }
            return snippetResponder ? snippetResponder(request) : QtPlatform().runProcess(request);
        };
        QFile::remove(marker());
        QFile::remove(testEnvironment().home() + "/runs");
    }

    // What is typed: the text put on the clipboard and the flag given to the typing script.
    void typed_data()
    {
        QTest::addColumn<QString>("typer");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("flag");
        const auto row = [](const char* name, const char* typer, const char* text, int flag) {
            QTest::newRow(name) << typer << text << flag;
        };
        row("line ends and tab in the middle, either case", R"(a\nb\Nc\rd\Re\pf\Pg\th)",
            "a\nb\nc\nd\ne\nf\ng\th", 0);
        row("only one line end removed at the end", R"(one\r\p)", "one\n", 1);
        row("other backslashes stay", R"(C:\dir\x\)", R"(C:\dir\x\)", 0);
        row("backslash before an escape stays", R"(a\\n)", "a\\", 1);
        row("shell output as printed, not expanded again", R"(a<#!echo "x  y<D">b)", "ax  y<D\nb",
            0);
        row("php echo", "<?php echo 1>", "1", 0);
        row("php bare values through var_export", "<? strtoupper('ab')> <?php 1+2>", "'AB' 3", 0);
        // PHP runs each snippet once: its side effects happen once.
        row("php value with a side effect",
            "<?php fwrite(fopen(getenv('HOME').'/runs', 'a'), 'x')>", "1", 0);
        row("php expression printing: what it printed", "<?php printf('%05d', 42)>", "00042", 0);
        row("javascript value, console output not typed", "<javascript: console.log('noise'); 1+2>",
            "3\n", 0);
        row("javascript without a value gives nothing", "[<javascript: var x = 1>]", "[]", 0);
        row("php statements printing nothing", "[<?php $x = 1; $y = 2>]", "[]", 0);
    }

    void typed()
    {
        QFETCH(QString, typer);
        QFETCH(QString, text);
        QFETCH(int, flag);
        SKIP_WITHOUT_INTERPRETER(interpreterFor(typer));
        // The clipboard held no text: the typed text stays on it, with no pause to restore it.
        QCOMPARE(choose(typer), QStringList{text});
        QCOMPARE(typings, QStringList{QString::number(flag) + "|" + text});
        QCOMPARE(messagesBeforeTyping, 0); // a message window would take the target's focus
        QVERIFY2(runs().size() <= 1, "a snippet ran twice");
        QCOMPARE(fakePlatform().pauses, QList<int>());
        QCOMPARE(fakePlatform().messages, QStringList());
        QCOMPARE(leftoverSnippetFiles(), QStringList());
    }

    void tags_data()
    {
        // Tuesday 5 March 2024, 07:08:09: every unpadded field differs from its padded form.
        QTest::addColumn<QString>("scanned");
        QTest::addColumn<QString>("expanded");
        const auto row = [](const char* name, const char* scanned, const char* expanded) {
            QTest::newRow(name) << scanned << expanded;
        };
        row("Today, date, Update", "<Today>|<date>|<Update>", "2024-03-05|2024-03-05|2024-03-05");
        row("Now, time, daytime", "<Now>|<time>|<daytime>", "07:08|07:08|07:08");
        row("year forms", "<year>|<YYYY>|<YY>", "2024|2024|24");
        row("MM month, mm minute", "<MM>-<mm>", "03-08");
        row("unpadded M D h m s", "<M> <D> <h> <m> <s>", "3 5 7 8 9");
        row("padded DD hh ss", "<DD> <hh> <ss>", "05 07 09");
        row("day and month names", "<day>, <MONTH>", "Tuesday, March");
        row("yy HH d and blank D invalid", "<yy><HH><d>< D>", "INVALIDINVALIDINVALIDINVALID");
        row("bold markers invalid, empty brackets stay", "<b>x</b><>", "INVALIDxINVALID<>");
        row("trailing ; blanks and ? stripped", "<D;>,<D ?>,<D ;?; >", "5,5,5");
        row("same tag twice", "<D>/<D>", "5/5");
        row("tag ends at first closing bracket", "<#!echo a>b>", "[shell:echo a]b>");
        row("kinds, in any letter case", "<#!ls><?PHP echo 1><?echo 2><JavaScript: 3><#!?x>",
            "[shell:ls][php:echo 1][php:echo 2][js:3][shell:x]");
        // A result is never searched again, and each result sits where its own tag stood even
        // when an earlier result holds the text of a later tag.
        row("result not expanded again", "<#!<D>> <D>", "[shell:<D]> 5");
        row("result holding a later tag", "<javascript:x> <D>", "R<D> 5");
    }

    void tags()
    {
        QFETCH(QString, scanned);
        QFETCH(QString, expanded);
        using Kind = TyperExpansion::TagKind;
        const auto resolve = [](Kind kind, const QString& body) {
            if (kind == Kind::DateTime)
                return TyperExpansion::dateTimeToken(body, QDateTime({2024, 3, 5}, {7, 8, 9}));
            if (kind == Kind::JavaScript && body == "x")
                return QString("R<D>"); // a result holding the text of a later tag
            const char* name = kind == Kind::Shell ? "shell" : kind == Kind::Php ? "php" : "js";
            return QString("[%1:%2]").arg(name, body);
        };
        QCOMPARE(TyperExpansion::expandTags(scanned, resolve), expanded);
    }

    void clipboardAsData_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("expected");

        // One text that tries every way out of every context: leading and double blanks, quotes of
        // both kinds, command substitution, backquotes, PHP and JavaScript interpolation, regular
        // expression replacement references, line ends and a trailing backslash.
        const QString hostile =
            QString(R"(  say  "hi" it's * $(touch M) `touch M`; touch M '; touch M; ' )"
                    R"("; system('touch M'); " ${system('touch M')}{$x})"
                    R"(${require('fs').writeFileSync('M','')} $1 \1 \\ \0 $&)"
                    "\none\ntwo x\\")
                .replace("M", marker());
        // A context is named after its language and says how "--clipboard" is written there and
        // whether a double quote of the text arrives with a backslash before it.
        const auto row = [&](const char* name, const char* code, bool escaped) {
            const QString language = QString(name).section(' ', 0, 0);
            QString value = escaped ? QString(hostile).replace("\"", "\\\"") : hostile;
            if (QString(code).contains('<'))
                value = "<" + value + ">";
            QTest::newRow(name) << language << code << hostile
                                << value + (language == "js" || code[0] == 'c' ? "\n" : "");
        };
        row("shell word", "printf %s --clipboard", false);
        row("shell double quotes", R"(printf %s "<--clipboard>")", false);
        row("shell single quotes", "printf %s '<--clipboard>'", false);
        row("shell substitution in double quotes", R"x(printf %s "$(printf "<%s>" --clipboard)")x",
            false);
        row("shell backquotes in double quotes", R"(printf %s "`printf '<%s>' --clipboard`")",
            false);
        row("php double quotes", R"(echo "<--clipboard>")", false);
        row("php single quotes", "echo '<--CLIPBOARD>'", true);
        row("shell heredoc", "cat <<E\n<--clipboard>\nE", false);
        row("php backquotes", "echo `printf %s --clipboard`", false);
        row("php backquotes in double quotes", R"(echo `printf %s "<--clipboard>"`)", false);
        row("php heredoc", "echo <<<E\n<--clipboard>\nE", false);
        row("php expression", "echo '<' . --clipboard . '>'", true);
        row("js double quotes", R"("<--clipboard>")", false);
        row("js single quotes", "'<--clipboard>'.slice(0)", false);
        row("js template", "`<${1 > 2 ? '' : '--clipboard'}>`", false);
        row("js expression", "'<' + --clipboard + '>'", true);
        QTest::newRow("shell: no clipboard text")
            << QString("shell") << R"(printf %s "[--clipboard]")" << QString() << QString("[]");
        // Far past what one environment string holds, final line end included.
        const QString large = QString(200 * 1024 - 1, 'x') + "\n";
        QTest::newRow("shell large") << "shell"
                                     << "printf %s --clipboard" << large << large;
        QTest::newRow("php large") << "php"
                                   << "echo --clipboard" << large << large;
        QTest::newRow("js large") << "js"
                                  << "--clipboard" << large << large + "\n";
        QTest::newRow("comment left alone") << QString("php") << QString("echo 1; // --clipboard's")
                                            << QString("x") << QString("1");
    }

    void clipboardAsData()
    {
        QFETCH(QString, language);
        QFETCH(QString, code);
        QFETCH(QString, clipboard);
        QFETCH(QString, expected);
        SKIP_WITHOUT_INTERPRETER(language == "php" ? "php" : language == "js" ? "node" : "");
        fakePlatform().clipboard = clipboard;
        fakePlatform().clipboardHoldsText = !clipboard.isNull();
        const QString output = language == "shell" ? typers->typeShell(code)
                               : language == "php" ? typers->typePhp(code)
                                                   : typers->typeJavaScript(code);
        QCOMPARE(output, expected);
        QVERIFY2(!QFile::exists(marker()), "the clipboard's text ran as code");
        QCOMPARE(fakePlatform().messages, QStringList());
    }

    void stoppedSnippetTypesNothing()
    {
        // Stopped after the limit: nothing typed, no key sent, the clipboard as it was, the user
        // told. No later snippet runs. An interpreter is given a file holding the code, its path
        // as the argument.
        QStringList run;
        snippetResponder = [&](const ProcessRequest& request) {
            if (request.arguments.value(0) == "-l") // the syntax check, which runs nothing
                return QtPlatform().runProcess(request);
            QFile file(request.arguments.value(1));
            run << request.program + " " + request.arguments.value(0) + " " +
                       (file.open(QIODevice::ReadOnly) ? QString(file.readAll())
                                                       : request.arguments.value(1));
            ProcessResult result;
            result.started = true;
            result.timedOut = true;
            result.standardOutput = "/old";
            return result;
        };
        fakePlatform().clipboard = "earlier";
        fakePlatform().clipboardHoldsText = true;
        QCOMPARE(choose(R"(rm -rf /tmp/victim<?php while (1) {}><#!echo later>\n)"), QStringList());
        QCOMPARE(run, QStringList{"php -f <?php  while (1) {}; ?>"});
        QCOMPARE(fakePlatform().processes.last().timeoutMs, 30000);
        QCOMPARE(typings, QStringList());
        QCOMPARE(leftoverSnippetFiles(), QStringList());
        QCOMPARE(fakePlatform().messages,
                 QStringList{"The typer was not typed: the PHP snippet \"while (1) {}\" did not "
                             "end within 30 seconds and was stopped."});
    }

    void terminalsPasteBothSelections_data()
    {
        QTest::addColumn<QStringList>("windowClass");
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<bool>("selected"); // PRIMARY held text before
        QTest::newRow("xterm") << QStringList{"xterm", "XTerm"} << true << true;
        QTest::newRow("told by the class half")
            << QStringList{"main", "Xfce4-terminal"} << true << true;
        QTest::newRow("a name holding term")
            << QStringList{"mastermind", "Mastermind"} << false << true;
        QTest::newRow("xterm, nothing selected") << QStringList{"xterm", "XTerm"} << true << false;
    }

    void terminalsPasteBothSelections()
    {
        // A terminal gets Shift+Insert with the text in both selections; each gets its text back.
        QFETCH(QStringList, windowClass);
        QFETCH(bool, terminal);
        QFETCH(bool, selected);
        fakePlatform().focusedClass = windowClass;
        fakePlatform().setClipboardText("earlier");
        if (selected)
            fakePlatform().setClipboardText("selected", Platform::Selection::Primary);
        fakePlatform().primaryHistory.clear();
        QCOMPARE(choose("typed"), (QStringList{"typed", "earlier"}));
        QCOMPARE(typings, QStringList{terminal ? "0 shift+Insert|typed" : "0|typed"});
        QCOMPARE(fakePlatform().primaryHistory,
                 terminal ? (selected ? QStringList{"typed", "selected"} : QStringList{"typed"})
                          : QStringList());
        // A terminal may fetch either selection; the restore waits for that fetch.
        QCOMPARE(fakePlatform().fetchWaits, QStringList{terminal ? "10000 and primary" : "10000"});
    }

    void clipboardKeptWhole()
    {
        // Every format comes back, the text first: past the bound an image is left out, the text
        // and the rest are kept, and the user is told.
        auto* held = new QMimeData;
        held->setData("image/png", QByteArray(64 << 20, 'p'));
        held->setData("text/html", "<b>x</b>");
        held->setText("x");
        held->setData("application/x-own", "own");
        QGuiApplication::clipboard()->setMimeData(held);
        QtPlatform platform;
        const ClipboardContents kept =
            platform.clipboardContents(Platform::Selection::Clipboard, 64 << 20);
        QCOMPARE(kept.leftOut, QStringList{"image/png"});
        platform.setClipboardContents(kept, Platform::Selection::Clipboard);
        const QMimeData* back = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(back->formats(), (QStringList{"text/plain", "text/html", "application/x-own"}));
        fakePlatform().setClipboardText("x");
        fakePlatform().clipboardLeftOut = kept.leftOut;
        QCOMPARE(choose("typed"), (QStringList{"typed", "x"}));
        QVERIFY(fakePlatform().messages.value(0).contains("64 MB, more than Kelvora keeps while it "
                                                          "types: what it held as image/png was"));
    }

    void failedSnippetTypesNothing_data()
    {
        // Nothing of the typer is typed, no key is sent; the user is told why the snippet failed.
        QTest::addColumn<QString>("typer");
        QTest::addColumn<QString>("told");
        const auto row = [](const char* name, const char* typer, const char* told) {
            QTest::newRow(name) << typer << QString("The typer was not typed: ") + told;
        };
        row("php", "[<?php echo 1+;>]",
            "the PHP snippet \"echo 1+\" failed: PHP Parse error: syntax error, unexpected "
            "token \";\"");
        row("php side effect, then a failure",
            "[<?php fwrite(fopen(getenv('HOME').'/runs', 'a'), 'x') / 0>]",
            "the PHP snippet \"fwrite(fopen(getenv('HOME').'/runs', 'a'), 'x') / 0\" failed: PHP "
            "Fatal error: Uncaught DivisionByZeroError: Division by zero");
        row("javascript", "[<javascript: foo(>]",
            "the JavaScript snippet \"foo(\" failed: SyntaxError: Unexpected end of input");
        row("shell", "[<#!nosuchcommand>]",
            "the shell command \"nosuchcommand\" failed: /bin/sh: 1: nosuchcommand: not found");
        row("output and a line end, no error output",
            R"(rm -rf /tmp/victim<#!printf /old; exit 3>\n)",
            "the shell command \"printf /old; exit 3\" failed: exit status 3");
    }

    void failedSnippetTypesNothing()
    {
        QFETCH(QString, typer);
        QFETCH(QString, told);
        SKIP_WITHOUT_INTERPRETER(interpreterFor(typer));
        QCOMPARE(choose(typer), QStringList());
        QCOMPARE(typings, QStringList());
        QCOMPARE(fakePlatform().messages.size(), 1);
        QVERIFY2(fakePlatform().messages.at(0).startsWith(told),
                 qPrintable(fakePlatform().messages.at(0)));
        QVERIFY2(runs().size() <= 1, "a snippet ran twice");
    }

    void endlessOutputIsStopped()
    {
        // Stopped at the bound with all it started, also a chain of steps each of which starts
        // the next in a session of its own and ends at once, its parent gone before it: nothing
        // typed, the clipboard as it was, and no step left a second later.
        fakePlatform().clipboard = "earlier";
        fakePlatform().clipboardHoldsText = true;
        const QString step = testEnvironment().home() + "/step";
        const auto stopChain =
            qScopeGuard([&] { QFile(step + "-stop").open(QIODevice::WriteOnly); });
        QCOMPARE(choose(QString("<#!export N=0 C='touch %1; [ -e %1-stop ] || [ $N -gt 9999 ] || "
                                "N=$((N+1)) setsid sh -c \"$C\" &'; sh -c \"$C\"; yes>")
                            .arg(step)),
                 QStringList());
        QCOMPARE(typings, QStringList());
        QVERIFY2(fakePlatform().messages.value(0).contains("more than 4 MB"),
                 qPrintable(fakePlatform().messages.value(0)));
        const auto lastStep = [&] { return QFileInfo(step).lastModified(); };
        const QDateTime stopped = lastStep();
        QTest::qWait(1000);
        QCOMPARE(lastStep(), stopped);
    }

    void failureLeavesClipboard_data()
    {
        QTest::addColumn<QString>("typer");
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("told");
        const auto row = [](const char* name, const char* typer, const char* variable,
                            const QString& value, const QString& told) {
            QTest::newRow(name) << typer << QByteArray(variable) << value << told;
        };
        row("php missing", "<D> <?php echo 1>", "PATH", "/nonexistent", "php-cli");
        row("node missing", "<javascript: 1>", "PATH", "/nonexistent", "nodejs");
        // A file where the temporary folder should be: not even root can create files in it.
        const QString notAFolder = testEnvironment().home() + "/not-a-folder";
        QFile(notAFolder).open(QIODevice::WriteOnly);
        row("snippet file not writable", "<?php echo 1>", "TMPDIR", notAFolder, notAFolder);
    }

    void failureLeavesClipboard()
    {
        QFETCH(QString, typer);
        QFETCH(QByteArray, variable);
        QFETCH(QString, value);
        QFETCH(QString, told);
        fakePlatform().clipboard = "earlier";
        fakePlatform().clipboardHoldsText = true;
        const QByteArray saved = qgetenv(variable);
        qputenv(variable, value.toUtf8());
        const QStringList clipboard = choose(typer);
        qputenv(variable, saved);
        QCOMPARE(clipboard, QStringList());
        QCOMPARE(typings, QStringList());
        QCOMPARE(fakePlatform().messages.size(), 1);
        QVERIFY2(fakePlatform().messages.at(0).contains(told),
                 qPrintable(fakePlatform().messages.at(0)));
        // Called on its own, the snippet gives no text and the user is told, nothing thrown.
        if (typer.startsWith("<?php")) {
            qputenv(variable, value.toUtf8());
            const QString direct = typers->typePhp("echo 1");
            qputenv(variable, saved);
            QCOMPARE(direct, QString());
            QCOMPARE(fakePlatform().messages.value(1), fakePlatform().messages.at(0));
        }
    }

    void waitsForMenuAndModifierKeys()
    {
        // The choice is handled while the menu may still hold the keyboard and the user a
        // modifier key: the paste key goes out once both have gone.
        fakePlatform().modifierKeyAsks = 3;
        QMenu menu;
        menu.addAction("entry");
        menu.popup(QPoint(0, 0));
        QTRY_VERIFY(QApplication::activePopupWidget());
        QAction item("<D>");
        typers->doTyper(&item);
        QTest::qWait(50);
        QCOMPARE(fakePlatform().clipboardHistory, QStringList());
        menu.close();
        QTRY_COMPARE(typings.size(), 1);
        QCOMPARE(fakePlatform().pauses, (QList<int>{10, 10, 10}));
        QCOMPARE(fakePlatform().modifierKeyAsks, -1);
    }

private:
    // The clipboard's texts while one typer is chosen.
    QStringList choose(const QString& typer)
    {
        fakePlatform().clipboardHistory.clear();
        QAction item(typer);
        typers->doTyper(&item);
        return fakePlatform().clipboardHistory;
    }
    // The interpreter the snippets of a typer need besides the shell, or nothing.
    static QString interpreterFor(const QString& typer)
    {
        if (typer.contains("<?"))
            return "php";
        return typer.contains("<javascript:", Qt::CaseInsensitive) ? "node" : "";
    }
    QString marker() const { return testEnvironment().home() + "/pwned"; }
    // What the snippets that count their runs wrote: one x for each run.
    static QByteArray runs()
    {
        QFile file(testEnvironment().home() + "/runs");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList leftoverSnippetFiles() const
    {
        return QDir(QDir::tempPath()).entryList({"kelvora-*"}, QDir::Files);
    }

    // Snippets run for real unless a test answers them; the typing script never runs here: what
    // it would paste is recorded as "flag|clipboard text".
    std::function<ProcessResult(const ProcessRequest&)> snippetResponder;
    QStringList typings;
    qsizetype messagesBeforeTyping = -1;
    std::unique_ptr<MyBevelButton> typers;
};

KELVORA_TEST_MAIN(TestTyper)
#include "tst_typer.moc"
