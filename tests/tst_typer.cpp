#include "buttons/mybevelbutton.h"
#include "buttons/typerexpansion.h"
#include "platform/qtplatform.h"
#include "tests/testsupport.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>

#include <memory>

// Typers: escapes, tags and date tokens, snippets run by the real shell, PHP and Node.js, the
// clipboard's text reaching them as data, and what reaches the clipboard and the user.
class TestTyper : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { typers = std::make_unique<MyBevelButton>("Typers"); }
    void cleanupTestCase() { typers.reset(); }
    void init();
    void escapes_data();
    void escapes();
    void tags_data();
    void tags();
    void snippets_data();
    void snippets();
    void phpFileAndRetry();
    void clipboardAsData_data();
    void clipboardAsData();
    void typedAndRestored_data();
    void typedAndRestored();
    void slowSnippetIsStopped();
    void failureLeavesClipboard_data();
    void failureLeavesClipboard();
    void waitsForMenuToClose();

private:
    // The clipboard's texts while one typer is chosen.
    QStringList choose(const QString& typer)
    {
        fakePlatform().clipboardHistory.clear();
        QAction item(typer);
        button().doTyper(&item);
        return fakePlatform().clipboardHistory;
    }
    QString marker() const { return testEnvironment().home() + "/pwned"; }
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
    MyBevelButton& button() { return *typers; }
};

void TestTyper::init()
{
    FakePlatform& fake = fakePlatform();
    snippetResponder = nullptr;
    typings.clear();
    messagesBeforeTyping = -1;
    fake.processResponder = [this](const ProcessRequest& request) {
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
    fake.processes.clear();
    fake.messages.clear();
    fake.pauses.clear();
    fake.clipboardHistory.clear();
    fake.clipboard.clear();
    fake.clipboardHoldsText = false;
    QFile::remove(marker());
}

void TestTyper::escapes_data()
{
    QTest::addColumn<QString>("typer");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("flag");
    QTest::newRow("no escapes") << "Kind regards"
                                << "Kind regards" << 0;
    QTest::newRow("line end in the middle") << R"(one\ntwo)"
                                            << "one\ntwo" << 0;
    QTest::newRow("line end at the end") << R"(one\n)"
                                         << "one" << 1;
    QTest::newRow("two line ends at the end") << R"(one\r\p)"
                                              << "one\n"
                                              << 1;
    QTest::newRow("capital N R P") << R"(a\Nb\Rc\Pd)"
                                   << "a\nb\nc\nd" << 0;
    QTest::newRow("tab") << R"(name\tvalue)"
                         << "name\tvalue" << 0;
    QTest::newRow("other backslashes stay") << R"(C:\dir\x\)"
                                            << R"(C:\dir\x\)" << 0;
    QTest::newRow("backslash before an escape stays") << R"(a\\n)"
                                                      << "a\\" << 1;
}

void TestTyper::escapes()
{
    QFETCH(QString, typer);
    QFETCH(QString, text);
    QFETCH(int, flag);
    QCOMPARE(choose(typer), QStringList{text});
    QCOMPARE(typings, QStringList{QString::number(flag) + "|" + text});
}

void TestTyper::tags_data()
{
    // Tuesday 5 March 2024, 07:08:09: every unpadded field differs from its padded form.
    QTest::addColumn<QString>("scanned");
    QTest::addColumn<QString>("expanded");
    QTest::newRow("Today, date, Update") << "<Today>|<date>|<Update>"
                                         << "2024-03-05|2024-03-05|2024-03-05";
    QTest::newRow("Now, time, daytime") << "<Now>|<time>|<daytime>"
                                        << "07:08|07:08|07:08";
    QTest::newRow("year forms") << "<year>|<YYYY>|<YY>"
                                << "2024|2024|24";
    QTest::newRow("MM month, mm minute") << "<MM>-<mm>"
                                         << "03-08";
    QTest::newRow("unpadded M D h m s") << "<M> <D> <h> <m> <s>"
                                        << "3 5 7 8 9";
    QTest::newRow("padded DD hh ss") << "<DD> <hh> <ss>"
                                     << "05 07 09";
    QTest::newRow("day and month names") << "<day>, <MONTH>"
                                         << "Tuesday, March";
    QTest::newRow("yy HH d and blank D invalid") << "<yy><HH><d>< D>"
                                                 << "INVALIDINVALIDINVALIDINVALID";
    QTest::newRow("bold markers invalid, empty brackets stay") << "<b>x</b><>"
                                                               << "INVALIDxINVALID<>";
    QTest::newRow("trailing ; blanks and ? stripped") << "<D;>,<D ?>,<D ;?; >"
                                                      << "5,5,5";
    QTest::newRow("same tag twice") << "<D>/<D>"
                                    << "5/5";
    QTest::newRow("tag ends at first closing bracket") << "<#!echo a>b>"
                                                       << "[shell:echo a]b>";
    QTest::newRow("kinds") << "<#!ls><?php echo 1><?echo 2><javascript: 3><#!?x>"
                           << "[shell:ls][php:echo 1][php:echo 2][js:3][shell:x]";
    // A result is never searched again, and each result sits where its own tag stood even
    // when an earlier result holds the text of a later tag.
    QTest::newRow("result not expanded again") << "<#!<D>> <D>"
                                               << "[shell:<D]> 5";
    QTest::newRow("result holding a later tag") << "<javascript:x> <D>"
                                                << "R<D> 5";
}

void TestTyper::tags()
{
    QFETCH(QString, scanned);
    QFETCH(QString, expanded);
    const QDateTime at(QDate(2024, 3, 5), QTime(7, 8, 9));
    const auto resolve = [&](TyperExpansion::TagKind kind, const QString& body) {
        switch (kind) {
        case TyperExpansion::TagKind::Shell:
            return "[shell:" + body + "]";
        case TyperExpansion::TagKind::Php:
            return "[php:" + body + "]";
        case TyperExpansion::TagKind::JavaScript:
            // "x" gives a result that holds the text of a later tag.
            return body == "x" ? QString("R<D>") : "[js:" + body + "]";
        case TyperExpansion::TagKind::DateTime:
            break;
        }
        return TyperExpansion::dateTimeToken(body, at);
    };
    QCOMPARE(TyperExpansion::expandTags(scanned, resolve), expanded);
}

void TestTyper::snippets_data()
{
    QTest::addColumn<QString>("typer");
    QTest::addColumn<QString>("expanded");
    QTest::newRow("shell output unchanged, final line end kept") << R"(a<#!echo "x  y">b)"
                                                                 << "ax  y\nb";
    QTest::newRow("shell output with brackets not expanded") << "<#!printf '<D'>"
                                                             << "<D";
    QTest::newRow("php echo") << "<?php echo 1>"
                              << "1";
    QTest::newRow("php bare sum through var_export") << "<?php 1+2>"
                                                     << "3";
    QTest::newRow("php string value") << "<? strtoupper('ab')>"
                                      << "'AB'";
    QTest::newRow("javascript value") << "<javascript: 1+2>"
                                      << "3\n";
    QTest::newRow("javascript undefined gives nothing") << "[<javascript: var x = 1>]"
                                                        << "[]";
    QTest::newRow("javascript console output not typed")
        << "<javascript: console.log('noise'); 'value'>"
        << "value\n";
    QTest::newRow("javascript error gives nothing") << "[<javascript: nosuch()>]"
                                                    << "[]";
}

void TestTyper::snippets()
{
    QFETCH(QString, typer);
    QFETCH(QString, expanded);
    QCOMPARE(choose(typer), QStringList{expanded});
    QCOMPARE(fakePlatform().messages, QStringList());
    QCOMPARE(leftoverSnippetFiles(), QStringList());
}

void TestTyper::phpFileAndRetry()
{
    // What the interpreter is given: its file's exact contents, as an argument, not a line.
    QStringList files;
    snippetResponder = [&](const ProcessRequest& request) {
        QFile file(request.arguments.value(1));
        file.open(QIODevice::ReadOnly);
        files << request.program + " " + request.arguments.value(0) + " " + file.readAll();
        ProcessResult result;
        result.started = true;
        return result;
    };
    QCOMPARE(button().typePhp("1+2"), QString());
    QCOMPARE(files, (QStringList{"php -f <?php  1+2; ?>", "php -f <?php  var_export(1+2); ?>"}));
    QCOMPARE(leftoverSnippetFiles(), QStringList());
}

void TestTyper::clipboardAsData_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("expected");

    const QString m = marker();
    const QList<std::pair<const char*, QString>> texts = {
        {"blanks and quotes", R"(say  "hi" it's)"},
        {"command substitution", "$(touch " + m + ")"},
        {"backquotes", "`touch " + m + "`"},
        {"semicolon", "; touch " + m},
        {"breaking out of double quotes", R"("; system('touch )" + m + R"('); ")"},
        {"breaking out of single quotes", "'; touch " + m + "; '"},
        {"interpolation",
         "${system('touch " + m + "')}{$x}${require('fs').writeFileSync('" + m + "','')}"},
        {"trailing backslash", R"(x\)"},
        {"replacement references", R"($1 \1 \\ \0 $&)"},
        {"line ends", "one\ntwo\n"},
    };
    // Each context says how "--clipboard" is written there and whether a double quote of the
    // text arrives with a backslash before it.
    struct Context {
        const char* language;
        const char* name;
        const char* code;
        bool escaped;
        const char* after;
    };
    const QList<Context> contexts = {
        {"shell", "shell word", "printf %s --clipboard", false, ""},
        {"shell", "shell double quotes", R"(printf %s "<--clipboard>")", false, ""},
        {"shell", "shell single quotes", "printf %s '<--clipboard>'", false, ""},
        {"php", "php double quotes", R"(echo "<--clipboard>")", false, ""},
        {"php", "php single quotes", "echo '<--CLIPBOARD>'", true, ""},
        {"php", "php expression", "echo '<' . --clipboard . '>'", true, ""},
        {"js", "js double quotes", R"("<--clipboard>")", false, "\n"},
        {"js", "js single quotes", "'<--clipboard>'.slice(0)", false, "\n"},
        {"js", "js template", "`<${1 > 2 ? '' : '--clipboard'}>`", false, "\n"},
        {"js", "js expression", "'<' + --clipboard + '>'", true, "\n"},
    };
    for (const Context& context : contexts) {
        for (const auto& [edge, text] : texts) {
            QString value = context.escaped ? QString(text).replace("\"", "\\\"") : text;
            if (QString(context.code).contains('<'))
                value = "<" + value + ">";
            QTest::addRow("%s: %s", context.name, edge)
                << context.language << context.code << text << value + context.after;
        }
    }
    QTest::newRow("shell: no clipboard text")
        << "shell"
        << R"(printf %s "[--clipboard]")" << QString() << "[]";
    QTest::newRow("comment left alone") << "php"
                                        << "echo 1; // --clipboard's"
                                        << "x"
                                        << "1";
}

void TestTyper::clipboardAsData()
{
    QFETCH(QString, language);
    QFETCH(QString, code);
    QFETCH(QString, clipboard);
    QFETCH(QString, expected);
    fakePlatform().clipboard = clipboard;
    fakePlatform().clipboardHoldsText = !clipboard.isNull();
    const QString output = language == "shell" ? button().typeShell(code)
                           : language == "php" ? button().typePhp(code)
                                               : button().typeJavaScript(code);
    QCOMPARE(output, expected);
    QVERIFY2(!QFile::exists(marker()), "the clipboard's text ran as code");
    QCOMPARE(fakePlatform().messages, QStringList());
}

void TestTyper::typedAndRestored_data()
{
    QTest::addColumn<bool>("held");
    QTest::addColumn<QString>("typer");
    QTest::addColumn<QStringList>("clipboard");
    QTest::addColumn<QList<int>>("pauses");
    QTest::addColumn<QString>("typed");
    QTest::newRow("earlier text restored after 250 ms")
        << true << R"(Dear <#!printf %s --clipboard>,\n)" << QStringList{"Dear Ann,", "Ann"}
        << QList<int>{250} << "1|Dear Ann,";
    QTest::newRow("no clipboard text: placeholder empty, text stays")
        << false << "Dear <#!printf %s --clipboard>," << QStringList{"Dear ,"} << QList<int>{}
        << "0|Dear ,";
}

void TestTyper::typedAndRestored()
{
    QFETCH(bool, held);
    QFETCH(QString, typer);
    QFETCH(QStringList, clipboard);
    QFETCH(QList<int>, pauses);
    fakePlatform().clipboard = held ? "Ann" : QString();
    fakePlatform().clipboardHoldsText = held;
    QFETCH(QString, typed);
    QCOMPARE(choose(typer), clipboard);
    QCOMPARE(typings, QStringList{typed});
    QCOMPARE(fakePlatform().pauses, pauses);
}

void TestTyper::slowSnippetIsStopped()
{
    // Stopped after the limit: the output so far is used, the user told, PHP not run again.
    snippetResponder = [](const ProcessRequest&) {
        ProcessResult result;
        result.started = true;
        result.timedOut = true;
        result.standardOutput = "so far";
        return result;
    };
    QCOMPARE(choose("[<#!sleep %2s 100>][<?php sleep(100)>]"), QStringList{"[so far][so far]"});
    QCOMPARE(fakePlatform().processes.size(), 3);
    QCOMPARE(fakePlatform().processes.at(0).timeoutMs, 30000);
    QCOMPARE(fakePlatform().processes.at(1).timeoutMs, 30000);
    // Told only once the paste is done: a message window would take the target's focus.
    QCOMPARE(typings.size(), 1);
    QCOMPARE(messagesBeforeTyping, 0);
    QCOMPARE(fakePlatform().messages.size(), 2);
    QVERIFY(fakePlatform().messages.at(0).contains("sleep %2s 100"));
    QVERIFY(fakePlatform().messages.at(0).contains("30 seconds"));
}

void TestTyper::failureLeavesClipboard_data()
{
    QTest::addColumn<QString>("typer");
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("told");
    QTest::newRow("php missing") << "<D> <?php echo 1>" << QByteArray("PATH")
                                 << QByteArray("/nonexistent") << "php-cli";
    QTest::newRow("node missing") << "<javascript: 1>" << QByteArray("PATH")
                                  << QByteArray("/nonexistent") << "nodejs";
    // A file where the temporary folder should be: not even root can create files in it.
    const QString notAFolder = testEnvironment().home() + "/not-a-folder";
    QTest::newRow("snippet file not writable")
        << "<?php echo 1>" << QByteArray("TMPDIR") << notAFolder.toUtf8() << notAFolder;
}

void TestTyper::failureLeavesClipboard()
{
    QFETCH(QString, typer);
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, value);
    QFETCH(QString, told);
    fakePlatform().clipboard = "earlier";
    fakePlatform().clipboardHoldsText = true;
    QFile notAFolder(testEnvironment().home() + "/not-a-folder");
    QVERIFY(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    const QByteArray saved = qgetenv(variable);
    qputenv(variable, value);
    const QStringList clipboard = choose(typer);
    qputenv(variable, saved);
    QCOMPARE(clipboard, QStringList());
    QCOMPARE(typings, QStringList());
    QCOMPARE(fakePlatform().clipboard, QString("earlier"));
    QCOMPARE(fakePlatform().pauses, QList<int>());
    QCOMPARE(fakePlatform().messages.size(), 1);
    QVERIFY2(fakePlatform().messages.at(0).contains(told),
             qPrintable(fakePlatform().messages.at(0)));
}

void TestTyper::waitsForMenuToClose()
{
    // The choice is handled while the menu may still hold the keyboard: nothing is pasted
    // until it has gone.
    QMenu menu;
    menu.addAction("entry");
    menu.popup(QPoint(0, 0));
    QTRY_VERIFY(QApplication::activePopupWidget());
    QAction item("<D>");
    button().doTyper(&item);
    QTest::qWait(50);
    QCOMPARE(fakePlatform().clipboardHistory, QStringList());
    menu.close();
    QTRY_COMPARE(fakePlatform().clipboardHistory.size(), 1);
}

KELVORA_TEST_MAIN(TestTyper)
#include "tst_typer.moc"
