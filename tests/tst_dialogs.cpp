#include "app/texts.h"
#include "bar/windowbevelbuttons.h"
#include "dialogs/dialogwindowask.h"
#include "dialogs/dialogwindowbookmark.h"
#include "dialogs/dialogwindowtext.h"
#include "dialogs/entrydialogs.h"
#include "dialogs/mytextfield.h"
#include "dialogs/pushbuttoncancel.h"
#include "dialogs/pushbuttonok.h"
#include "tests/buttonfixture.h"

#include <QLabel>
#include <QMimeData>

// The entry dialogs and the question dialog on a real bar, with the fake platform: how a text
// splits into address and title, what the fields accept, where a confirmed entry goes, how the
// single instances live, and what Yes does for each question. Focus and stacking on a real
// desktop are proven by tests/user/user_dialogs.sh.
class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void split_data();
    void split();
    void validation_data();
    void validation();
    void entriesReachTheirButton_data();
    void entriesReachTheirButton();
    void failedWriteKeepsTheDialog();
    void lifecycle();
    void updateCheck_data();
    void updateCheck();
    void yes_data();
    void yes();
    void supportAddresses();

private:
    App& app() { return *App::instance(); }
    // Runs of a bundle script, by its file name.
    static int runsOf(const QString& script)
    {
        int runs = 0;
        for (const ProcessRequest& request : fakePlatform().processes)
            runs += request.program.endsWith("/" + script);
        return runs;
    }
    // Every script prints the output; the login-item script ends with the exit code.
    void answerScripts(const QByteArray& output, int loginItemExit = 0)
    {
        fakePlatform().processResponder = [=](const ProcessRequest& request) {
            const bool loginItem = request.program.endsWith("makeStartupItemAs.scpt");
            return ProcessResult{true,   false,       loginItem ? loginItemExit : 0,
                                 output, "no room\n", {}};
        };
    }

    ButtonFixture fx;
    std::unique_ptr<WindowBevelButtons> bar;
};

void TestDialogs::init()
{
    fx.reset();
    answerScripts({});
    for (const char* name : {"Bookmarks", "Typers", "Memos"})
        QVERIFY(fx.writeBytes(fx.path(QString(name) + ".txt"), "a\nb"));
    app().registerSupportHandlers();
    bar = std::make_unique<WindowBevelButtons>();
    bar->show();
    for (MyBevelButton* button : {bar->Bookmarks(), bar->Typers(), bar->Memos()})
        EntryDialogs::connectButton(button);
    QObject::connect(&app(), &App::questionAsked, &app(), &DialogWindowAsk::ask);
}

void TestDialogs::cleanup()
{
    QObject::disconnect(&app(), &App::questionAsked, nullptr, nullptr);
    DialogWindow::discardAll();
    bar.reset();
}

void TestDialogs::split_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("title");
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("whitespace only") << " \n\t "
                                     << ""
                                     << "";
    QTest::newRow("title, address") << " Example https://www.example.org/x \n"
                                    << "https://www.example.org/x"
                                    << "Example ";
    QTest::newRow("address between texts") << "See https://ab.org/p now"
                                           << "https://ab.org/p"
                                           << "See  now";
    QTest::newRow("address alone") << "https://www.example.org/a/b"
                                   << "https://www.example.org/a/b"
                                   << "www.example.org";
    QTest::newRow("mailto alone") << "mailto:me@ex.org/x"
                                  << "mailto:me@ex.org/x"
                                  << "me@ex.org";
    QTest::newRow("name <address>") << "Jane Doe <jane@ex.org>"
                                    << "mailto:jane@ex.org"
                                    << "Jane Doe";
    QTest::newRow("mail with query") << "jane@ex.org?subject=Hi"
                                     << "mailto:jane@ex.org?subject=Hi"
                                     << "jane@ex.org";
    QTest::newRow("web and mail") << "jane@ex.org https://ab.org"
                                  << "https://ab.org"
                                  << "jane@ex.org ";
    QTest::newRow("in parentheses") << "Docs (https://ab.org/d)"
                                    << "https://ab.org/d"
                                    << "Docs ()";
    QTest::newRow("several lines") << "One\nhttps://ab.org\ntwo"
                                   << "https://ab.org"
                                   << "One\n\ntwo";
    QTest::newRow("capitals") << "HTTPS://WWW.EX.ORG/P"
                              << "HTTPS://WWW.EX.ORG/P"
                              << "WWW.EX.ORG";
    QTest::newRow("bare scheme") << "https://"
                                 << "https://"
                                 << "";
}

void TestDialogs::split()
{
    QFETCH(QString, text);
    QFETCH(QString, url);
    QFETCH(QString, title);
    const auto parts = DialogWindowBookmark::split(text);
    QCOMPARE(parts.url, url);
    QCOMPARE(parts.title, title);
}

void TestDialogs::validation_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("urlValid");
    QTest::addColumn<bool>("titleValid");
    QTest::newRow("web address, word") << "https://ab.cd"
                                       << "ab" << true << true;
    QTest::newRow("capitals, path, blanks") << " HTTPS://WWW.AB.CD:80/p?q "
                                            << ".ab." << true << true;
    QTest::newRow("Cyrillic") << "https://пример.рф/путь"
                              << "Привет мир" << true << true;
    QTest::newRow("CJK, mail query") << "mailto:j@ab.cd?subject=Hi"
                                     << "日本語のテキスト" << true << true;
    QTest::newRow("accented only") << "https://ab.cd"
                                   << "éé" << true << true;
    QTest::newRow("address after a script") << "javascript:alert(1)//https://ab.cd"
                                            << "ab" << false << true;
    QTest::newRow("file address, decomposed accents") << "file:///tmp/x.desktop?https://ab.cd"
                                                      << "e\u0301e\u0301" << false << true;
    QTest::newRow("mail address") << "mailto:j_d@ab.cd"
                                  << "a b c" << true << false;
    QTest::newRow("one-character host label") << "https://a.org"
                                              << "" << false << false;
    QTest::newRow("host without a dot") << "https://localhost"
                                        << "x" << false << false;
    QTest::newRow("local part with a dot") << "mailto:j.d@ab.cd"
                                           << "ab" << false << true;
    QTest::newRow("local part with a plus") << "mailto:j+d@ab.cd"
                                            << "ab" << false << true;
    QTest::newRow("text after the address")
        << "https://ab.cd evil" << QString("ab") << false << true;
}

void TestDialogs::validation()
{
    QFETCH(QString, url);
    QFETCH(QString, title);
    QFETCH(bool, urlValid);
    QFETCH(bool, titleValid);
    DialogWindowBookmark* dialog = DialogWindowBookmark::instance();
    const auto colour = [](const MyTextField* field) {
        return field->palette().color(QPalette::Text);
    };
    // In both orders, OK follows the two fields together; text put in by code is validated.
    for (bool urlFirst : {true, false}) {
        dialog->TextFieldUrl()->clear();
        dialog->TextFieldTitle()->clear();
        if (urlFirst)
            dialog->TextFieldUrl()->setText(url);
        dialog->TextFieldTitle()->setText(title);
        if (!urlFirst)
            dialog->TextFieldUrl()->setText(url);
        QCOMPARE(dialog->TextFieldUrl()->isValid, urlValid);
        QCOMPARE(dialog->TextFieldTitle()->isValid, titleValid);
        QCOMPARE(colour(dialog->TextFieldUrl()), urlValid ? QColor(Qt::black) : QColor(0x808080));
        QCOMPARE(dialog->ButtonOk()->isEnabled(), urlValid && titleValid);
    }
    // Making either invalid again disables OK at once.
    dialog->TextFieldUrl()->setText("https://ab.cd");
    dialog->TextFieldTitle()->setText("ab");
    QVERIFY(dialog->ButtonOk()->isEnabled());
    dialog->TextFieldTitle()->setText("a");
    QVERIFY(!dialog->ButtonOk()->isEnabled());
}

void TestDialogs::entriesReachTheirButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("how"); // "choose" with Shift, "drop", "shift-drop", "cancel"
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("entries");
    QTest::newRow("bookmark before the chosen one")
        << "Bookmarks"
        << "choose"
        << "Ex https://ab.org/x " << QByteArray("a\nEx\thttps://ab.org/x\nb");
    QTest::newRow("bookmark drop appends")
        << "Bookmarks"
        << "drop"
        << " https://ab.org " << QByteArray("a\nb\nab.org\thttps://ab.org");
    QTest::newRow("bookmark drop with Shift comes first")
        << "Bookmarks"
        << "shift-drop"
        << "Ex https://ab.org" << QByteArray("Ex\thttps://ab.org\na\nb");
    QTest::newRow("bookmark title with TAB, line ends, controls")
        << "Bookmarks"
        << "choose"
        << "Title\twith tab\r\ntwo\u2028three\x01\x7f https://ab.cd/x\r\n"
        << QByteArray("a\nTitle with tab  two three\thttps://ab.cd/x\nb");
    QTest::newRow("cancel leaves the file") << "Bookmarks"
                                            << "cancel"
                                            << "Ex https://ab.org" << QByteArray("a\nb");
    QTest::newRow("typer to Typers") << "Typers"
                                     << "choose"
                                     << "  two\twords \n"
                                     << QByteArray("a\ntwo\twords\nb");
    QTest::newRow("memo to Memos") << "Memos"
                                   << "choose"
                                   << "memo" << QByteArray("a\nmemo\nb");
}

void TestDialogs::entriesReachTheirButton()
{
    QFETCH(QString, button);
    QFETCH(QString, how);
    QFETCH(QString, text);
    QFETCH(QByteArray, entries);
    const QString file = fx.path(button + ".txt");
    MyBevelButton* target = bar->findChild<MyBevelButton*>(button);
    fakePlatform().optionKey = how != "drop";
    if (how == "drop" || how == "shift-drop") {
        QMimeData mime;
        mime.setText(text);
        target->Event_DragEnter(&mime, Qt::CopyAction);
        target->Event_DropObject(&mime, Qt::CopyAction);
    } else {
        fakePlatform().setClipboardText(text);
        QVERIFY(fx.choose(*target, "b"));
    }
    fakePlatform().optionKey = false;
    DialogWindow* dialog = DialogWindowBookmark::instance();
    if (button != "Bookmarks")
        dialog = DialogWindowText::instance();
    QVERIFY(dialog->isVisible());
    if (how == "cancel")
        dialog->findChild<PushButtonCancel*>()->click();
    else
        QTest::keyClick(dialog, Qt::Key_Return);
    QVERIFY(dialog->isClosed());
    QCOMPARE(fx.readBytes(file), entries);
    for (QString other : {"Bookmarks", "Typers", "Memos"})
        if (other != button)
            QCOMPARE(fx.readBytes(fx.path(other + ".txt")), QByteArray("a\nb"));
}

void TestDialogs::failedWriteKeepsTheDialog()
{
    DialogWindowText* dialog = DialogWindowText::instance();
    dialog->open("new entry", bar->Typers());
    // The file cannot be replaced while a folder stands in its place.
    QVERIFY(QFile::remove(fx.path("Typers.txt")) && QDir().mkdir(fx.path("Typers.txt")));
    QTest::keyClick(dialog, Qt::Key_Return);
    QVERIFY(dialog->isVisible() && !dialog->isClosed());
    QCOMPARE(dialog->TextFieldText()->text(), "new entry");
    QCOMPARE(fakePlatform().messages.size(), 1);
    QVERIFY2(fakePlatform().messages.first().contains(fx.path("Typers.txt")),
             qPrintable(fakePlatform().messages.first()));

    // Once the cause is gone the same OK adds the entry once.
    QVERIFY(QDir().rmdir(fx.path("Typers.txt")));
    QTest::keyClick(dialog, Qt::Key_Return);
    QVERIFY(dialog->isClosed());
    QCOMPARE(fx.readBytes(fx.path("Typers.txt")), QByteArray("a\nb\nnew entry"));
}

void TestDialogs::lifecycle()
{
    DialogWindowText* first = DialogWindowText::instance();
    QCOMPARE(DialogWindowText::instance(), first);
    QCOMPARE(runsOf("activateApp.scpt"), 1);
    first->open("x", bar->Typers());
    // Return with OK disabled and Escape do nothing.
    QTest::keyClick(first, Qt::Key_Return);
    QTest::keyClick(first, Qt::Key_Escape);
    QVERIFY(first->isVisible());
    // A later open refills the field and takes the latest button.
    first->open("  words  ", bar->Memos());
    QCOMPARE(first->TextFieldText()->text(), "words");
    QCOMPARE(first->ButtonOk()->callingBevelButton.data(), bar->Memos());
    QCOMPARE(runsOf("activateApp.scpt"), 1);

    // A close offered by the window manager acts as Cancel; the next use builds afresh.
    first->close();
    DialogWindowText* second = DialogWindowText::instance();
    QVERIFY(second != first);
    QCOMPARE(runsOf("activateApp.scpt"), 2);
    QVERIFY(second->TextFieldText()->text().isEmpty() && !second->ButtonOk()->isEnabled());
    QVERIFY(second->ButtonOk()->menuEntry.isEmpty());

    // A dialog outliving its button writes nothing and closes.
    second->open("words", bar->Memos());
    bar.reset();
    QTest::keyClick(second, Qt::Key_Return);
    QVERIFY(second->isClosed());
}

void TestDialogs::updateCheck_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("noShown");
    QTest::newRow("2") << QByteArray("2\n") << Texts::newerVersion() << true;
    QTest::newRow("1.5") << QByteArray("1.5") << Texts::newerVersion() << true;
    QTest::newRow("1") << QByteArray("1") << QString(Texts::upToDate) << false;
    QTest::newRow("1.0") << QByteArray("1.0") << QString(Texts::upToDate) << false;
    QTest::newRow("0.9") << QByteArray("0.9") << QString(Texts::upToDate) << false;
    QTest::newRow("0") << QByteArray("0") << QString(Texts::noConnection) << false;
    QTest::newRow("empty") << QByteArray("") << QString(Texts::noConnection) << false;
    QTest::newRow("abc") << QByteArray("abc 2") << QString(Texts::noConnection) << false;
}

void TestDialogs::updateCheck()
{
    QFETCH(QByteArray, output);
    QFETCH(QString, label);
    QFETCH(bool, noShown);
    // A check started while the start-up question is open rewrites that dialog.
    DialogWindowAsk::ask(Texts::startupQuestion, true);
    DialogWindowAsk* dialog = DialogWindowAsk::instance();
    answerScripts(output);
    QVERIFY(!app().runMenuHandler(MenuTexts::SupportCheckforUpdate));
    QCOMPARE(DialogWindowAsk::instance(), dialog);
    QCOMPARE(dialog->LabelAsk()->text(), label);
    QCOMPARE(dialog->ButtonCancel()->isVisible(), noShown);
    QTest::keyClick(dialog, Qt::Key_Return);
    QVERIFY(dialog->isClosed());
    QCOMPARE(fakePlatform().openedUrls,
             noShown ? QStringList{Texts::downloadAddress()} : QStringList{});
    QCOMPARE(runsOf("makeStartupItemAs.scpt"), 0);
}

void TestDialogs::yes_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("scriptExit");
    QTest::addColumn<bool>("loginItem"); // the script runs
    QTest::addColumn<bool>("download");
    QTest::newRow("start-up question") << QString(Texts::startupQuestion) << 0 << true << false;
    QTest::newRow("start-up question, script fails")
        << QString(Texts::startupQuestion) << 1 << true << false;
    QTest::newRow("DOWNLOAD") << "DOWNLOAD NOW" << 0 << false << true;
    QTest::newRow("both keywords") << "startup, then download" << 0 << true << false;
    QTest::newRow("notice") << QString(Texts::upToDate) << 0 << false << false;
}

void TestDialogs::yes()
{
    QFETCH(QString, label);
    QFETCH(int, scriptExit);
    QFETCH(bool, loginItem);
    QFETCH(bool, download);
    answerScripts({}, scriptExit);
    DialogWindowAsk::ask(label, true);
    DialogWindowAsk* dialog = DialogWindowAsk::instance();
    fakePlatform().processes.clear();
    dialog->ButtonCancel()->click(); // No acts on nothing
    QVERIFY(dialog->isClosed() && fakePlatform().processes.isEmpty());

    DialogWindowAsk::ask(label, true);
    dialog = DialogWindowAsk::instance();
    dialog->ButtonOk()->click();
    QCOMPARE(runsOf("makeStartupItemAs.scpt"), loginItem ? 1 : 0);
    if (loginItem)
        QCOMPARE(fakePlatform().processes.last().arguments,
                 QStringList{BundleResources::bundlePath()});
    const bool made = loginItem && scriptExit == 0;
    QCOMPARE(app().Preferences().Get(Keys::isStartupItem), made ? QVariant(true) : QVariant());
    // A login item that failed is reported, and the question stays for another answer.
    QCOMPARE(fakePlatform().messages.size(), loginItem && !made ? 1 : 0);
    QCOMPARE(dialog->isClosed(), !loginItem || made);
    QCOMPARE(fakePlatform().openedUrls,
             download ? QStringList{Texts::downloadAddress()} : QStringList{});

    // After a close the next dialog asks the start-up question again, with No.
    dialog->close();
    DialogWindowAsk* next = DialogWindowAsk::instance();
    QCOMPARE(next->LabelAsk()->text(), QString(Texts::startupQuestion));
    QVERIFY(!next->ButtonCancel()->isHidden());
}

void TestDialogs::supportAddresses()
{
    for (const char* item : {"SupportWhatIliked", "SupportMySuggestions", "SupportProblemsIhad",
                             "SupportSite", "SupportSite"})
        QVERIFY(!app().runMenuHandler(item));
    QCOMPARE(fakePlatform().openedUrls,
             (QStringList{"mailto:feedback@kelvora.app?subject=What%20I%20liked...",
                          "mailto:feedback@kelvora.app?subject=My%20Suggestions...",
                          "mailto:feedback@kelvora.app?subject=Problems%20I%20had...",
                          "https://www.kelvora.app", "https://www.kelvora.app"}));
}

KELVORA_TEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
