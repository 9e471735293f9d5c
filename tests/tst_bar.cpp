#include "app/mymenubar.h"
#include "app/myviewmenu.h"
#include "app/texts.h"
#include "bar/mycanvas.h"
#include "bar/windowbevelbuttons.h"
#include "buttons/mybevelbutton.h"
#include "tests/testsupport.h"

#include <QClipboard>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>

#include <memory>

// The bar window on a fake 1440 x 900 main screen whose top 25 points are the menu bar: what it
// shows, plays, offers and stores as it opens, the choices of the handle's menu and the View
// menu, the handle's double click, the menu bar, and Quit. Dragging the bar is proven under a
// real window manager by tests/user/user_bar.sh.
class TestBar : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup() { bar.reset(); }

    void menuBarAsBuilt();
    void editItemsActOnTheFocusedField();
    void layouts_data();
    void layouts();
    void looksTheSameUnderADarkTheme();
    void screensAndPanels_data();
    void screensAndPanels();
    void doubleClick_data();
    void doubleClick();
    // Quitting ends the event loop for good, so this runs last.
    void quitStoresTheButtonsKeysBeforeSaving();

private:
    App& app() { return *App::instance(); }
    PreferencesModule::Preferences& prefs() { return app().Preferences(); }
    void openApp();
    void openBar(const QVariantMap& keys = {});
    QStringList shownButtons() const;
    // A menu's item texts, "-" for a separator.
    static QStringList texts(const QMenu& menu)
    {
        QStringList found;
        for (const QAction* action : menu.actions())
            found << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return found;
    }
    static QAction* item(const QMenu& menu, const QString& text)
    {
        return menu.actions().value(texts(menu).indexOf(text));
    }
    QMenu& handleMenu(QMenu& base)
    {
        bar->SettingsCanvas_ConstructContextualMenu(bar->SettingsCanvas(), &base, 3, 3);
        return base;
    }
    // The menu bar's View menu as it is about to show.
    MyViewMenu& viewMenu()
    {
        auto* view = menuBar->findChild<MyViewMenu*>("ViewMenu");
        emit view->aboutToShow();
        return *view;
    }

    std::unique_ptr<MyMenuBar> menuBar;
    std::unique_ptr<WindowBevelButtons> bar;
};

void TestBar::initTestCase()
{
    menuBar = std::make_unique<MyMenuBar>();
    app().setMenuBar(menuBar.get());
}

void TestBar::init()
{
    QFile::remove(testEnvironment().dataHome() + "/Kelvora/Kelvora.js");
    fakePlatform().screen = QRect(0, 0, 1440, 900);
    fakePlatform().available = QRect(0, 25, 1440, 875);
    openApp();
}

void TestBar::openApp()
{
    app().Event_Open(); // a fresh, empty store; the panels measured
    // The buttons' entries files in the test's home, never beside the build.
    for (const char* name : {"Bookmarks", "Typers", "Memos"})
        prefs().Set(QString(name) + "File", testEnvironment().home() + "/" + name + ".txt");
}

void TestBar::openBar(const QVariantMap& keys)
{
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        prefs().Set(it.key(), it.value());
    fakePlatform().soundsPlayed.clear();
    bar = std::make_unique<WindowBevelButtons>();
    // Joined to the View menu as the start-up joins them.
    QObject::connect(app().ViewMenu(), &MyViewMenu::layoutOrSizeChosen, bar.get(),
                     &WindowBevelButtons::chooseLayoutOrSize);
    bar->show();
}

// "Name@x" of each button that shows.
QStringList TestBar::shownButtons() const
{
    QStringList shown;
    for (MyBevelButton* button : {bar->Bookmarks(), bar->Typers(), bar->Memos()}) {
        if (!button->isHidden())
            shown << button->objectName() + "@" + QString::number(button->x());
    }
    return shown;
}

void TestBar::menuBarAsBuilt()
{
    const auto items = [](const QWidget* menu) {
        QStringList found;
        for (const QAction* action : menu->actions())
            found << action->objectName() + "|" + (action->isSeparator() ? "-" : action->text()) +
                         "|" + action->shortcut().toString(QKeySequence::PortableText);
        return found;
    };
    QCOMPARE(items(menuBar.get()),
             QStringList({"EditMenu|Edit|", "ViewMenu|View|", "SupportMenu|Support|"}));
    QCOMPARE(items(menuBar->findChild<QMenu*>("EditMenu")),
             QStringList({"EditCut|Cut|Ctrl+X", "EditCopy|Copy|Ctrl+C", "EditPaste|Paste|Ctrl+V",
                          "UntitledSeparator1|-|", "EditSelectAll|Select All|Ctrl+A"}));
    QCOMPARE(items(menuBar->findChild<QMenu*>("SupportMenu")),
             QStringList({"SupportWhatIliked|What I liked...|",
                          "SupportMySuggestions|My Suggestions...|",
                          "SupportProblemsIhad|Problems I had...|", "Separator2|-|",
                          "SupportSite|" + QString(MenuTexts::siteHost) + "|", "Separator3|-|",
                          "SupportCheckforUpdate|Check for Update....|"}));
    // Empty until the bar window hands it its entries.
    QCOMPARE(texts(viewMenu()), QStringList());

    // Each Support item runs what the start-up registered under the item's name.
    const QStringList handlers = {"SupportWhatIliked", "SupportMySuggestions",
                                  "SupportProblemsIhad", "SupportSite", "SupportCheckforUpdate"};
    QStringList ran;
    for (const QString& name : handlers)
        app().registerMenuHandler(name, [&ran, name] {
            ran << name;
            return false;
        });
    for (QAction* action : menuBar->findChild<QMenu*>("SupportMenu")->actions())
        action->trigger();
    QCOMPARE(ran, handlers);
}

void TestBar::editItemsActOnTheFocusedField()
{
    QWidget dialog;
    auto* field = new QLineEdit("hello", &dialog);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    field->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTRY_COMPARE(QApplication::focusWidget(), field);

    const auto choose = [&](const char* name) { menuBar->findChild<QAction*>(name)->trigger(); };
    choose("EditSelectAll");
    choose("EditCut");
    QCOMPARE(field->text(), QString());
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("hello"));
    choose("EditPaste");
    choose("EditPaste");
    QCOMPARE(field->text(), QString("hellohello"));
    choose("EditSelectAll");
    choose("EditCopy");
    QCOMPARE(field->text(), QString("hellohello"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("hellohello"));
}

void TestBar::layouts_data()
{
    QTest::addColumn<QVariantMap>("keys");
    QTest::addColumn<QString>("choice"); // "handle:ITEM" or "view:ITEM", chosen once open
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("sound");      // played by the choice, else by the opening
    QTest::addColumn<QString>("view");       // the View menu; the handle's adds "-", "Quit"
    QTest::addColumn<QVariantMap>("stored"); // the keys written; no others are

    const QStringList all = {"Bookmarks@18", "Typers@198", "Memos@378"};
    const QString on = "switchOn.aif", off = "switchOff.aif";
    const QString allMax = "Bookmarks,Typers,Memos,-,Minimize";
    const QString allMin = "Bookmarks,Typers,Memos,-,Expand";
    const QVariantMap none, min{{"windowSize", "Min"}};
    const QRect centred(441, 428, 558, 18), handleCentred(711, 428, 18, 18);
    const auto row = [](const QString& name, QVariantMap keys,
                        const QString& choice = {}) -> QTestData& {
        return QTest::newRow(qPrintable(name)) << keys << choice;
    };

    row("first start: centred in the available area", none)
        << centred << all << on << allMax << none;
    row("one button, expanded", {{"CurrentBevelButton", "Typers"}, {"windowSize", "Max"}})
        << QRect(621, 428, 198, 18) << QStringList{"Typers@18"} << on
        << "Bookmarks,Memos,-,Show All,-,Minimize" << none;
    row("one button, size never toggled", {{"CurrentBevelButton", "Memos"}})
        << centred << QStringList{"Memos@18"} << on << "Bookmarks,Typers,-,Show All,-,Minimize"
        << none;
    row("minimised", min) << handleCentred << all << off << allMin << none;
    row("stored name matches no button", {{"CurrentBevelButton", "Nobody"}, {"windowSize", "Max"}})
        << handleCentred << QStringList() << on << "Bookmarks,Typers,Memos,-,Show All,-,Minimize"
        << none;
    row("stored top 0: centred, the stored left ignored",
        {{"windowSize", "Max"}, {"windowMaxTop", 0}, {"windowMaxLeft", 700}})
        << centred << all << on << allMax << none;
    row("a size stored: the unsized keys are not read",
        {{"windowSize", "Max"}, {"windowLeft", 100}, {"windowTop", 200}})
        << centred << all << on << allMax << none;
    row("stored top under the menu bar",
        {{"windowSize", "Max"}, {"windowMaxTop", 10}, {"windowMaxLeft", 300}})
        << QRect(300, 25, 558, 18) << all << on << allMax << QVariantMap{{"windowMaxTop", 25}};
    row("stored left of and below a 900-point screen", {{"windowLeft", -40}, {"windowTop", 2000}})
        << QRect(0, 882, 558, 18) << all << on << allMax
        << QVariantMap{{"windowLeft", 0}, {"windowTop", 882}};
    row("stored 300 points beyond the right edge",
        {{"windowSize", "Max"}, {"windowMaxLeft", 1182}, {"windowMaxTop", 400}})
        << QRect(882, 400, 558, 18) << all << on << allMax << QVariantMap{{"windowMaxLeft", 882}};
    row("the handle alone stored at the right edge",
        {{"windowSize", "Min"}, {"windowMinLeft", 1439}, {"windowMinTop", 300}})
        << QRect(1422, 300, 18, 18) << all << off << allMin << QVariantMap{{"windowMinLeft", 1422}};

    // Both menus offer the same choices through code of their own.
    for (const QString menu : {"handle", "view"}) {
        const auto choose = [&](const char* name, const QVariantMap& keys,
                                const char* item) -> QTestData& {
            return row(menu + " menu: " + name, keys, menu + ":" + item);
        };
        choose("one button while minimised", min, "Typers")
            << QRect(621, 428, 198, 18) << QStringList{"Typers@18"} << on
            << "Bookmarks,Memos,-,Show All,-,Minimize"
            << QVariantMap{{"windowSize", "Max"}, {"CurrentBevelButton", "Typers"}};
        choose("Show All while one button shows, minimised",
               {{"CurrentBevelButton", "Typers"}, {"windowSize", "Min"}}, "Show All")
            << centred << all << on << allMax
            << QVariantMap{{"windowSize", "Max"}, {"CurrentBevelButton", QVariant()}};
        choose("one button while the size is absent", none, "Memos")
            << centred << QStringList{"Memos@18"} << on << "Bookmarks,Typers,-,Show All,-,Minimize"
            << QVariantMap{{"CurrentBevelButton", "Memos"}};
        choose("Minimize while the size is absent", none, "Minimize")
            << handleCentred << all << off << allMin << min;
    }
}

void TestBar::layouts()
{
    QFETCH(QVariantMap, keys);
    QFETCH(QString, choice);
    QFETCH(QRect, geometry);
    QFETCH(QStringList, shown);
    QFETCH(QString, sound);
    QFETCH(QString, view);
    QFETCH(QVariantMap, stored);

    openBar(keys);
    if (!choice.isEmpty()) {
        fakePlatform().soundsPlayed.clear();
        QMenu base;
        const bool fromView = choice.startsWith("view:");
        QAction* chosen = item(fromView ? viewMenu() : handleMenu(base), choice.section(':', 1));
        QVERIFY2(chosen, "the item is on offer");
        if (fromView)
            chosen->trigger();
        else
            QVERIFY(!bar->SettingsCanvas_ContextualMenuAction(bar->SettingsCanvas(), chosen));
    }
    QCOMPARE(bar->geometry(), geometry);
    QCOMPARE(shownButtons(), shown);
    QCOMPARE(fakePlatform().soundsPlayed, QStringList{sound});
    QCOMPARE(texts(viewMenu()), view.split(','));
    QMenu base;
    QCOMPARE(texts(handleMenu(base)), (view.split(',') + QStringList{"-", "Quit"}));
    for (const char* key : {"CurrentBevelButton", "windowSize", "windowLeft", "windowTop",
                            "windowMaxLeft", "windowMaxTop", "windowMinLeft", "windowMinTop"})
        QCOMPARE(prefs().Get(key), stored.value(key, keys.value(key)));
    // Qt finds the target of a press or a drop with childAt: the cover over the buttons must
    // not be it.
    QCOMPARE(bar->childAt(9, 9), bar->SettingsCanvas());
    for (MyBevelButton* button : {bar->Bookmarks(), bar->Typers(), bar->Memos()}) {
        if (!button->isHidden() && bar->rect().contains(button->geometry().center()))
            QCOMPARE(bar->childAt(button->geometry().center()), button);
    }
}

void TestBar::looksTheSameUnderADarkTheme()
{
    // The strip's colours, drop-down arrows included, are its own.
    const auto opened = [this] {
        openBar({{"CurrentBevelButton", "Typers"}}); // the strip right of the button stays empty
        return bar->grab().toImage();
    };
    const QImage light = opened();
    const QPalette theme = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(53, 53, 53), QColor(30, 30, 30)));
    const QImage dark = opened();
    QApplication::setPalette(theme);
    QVERIFY(dark == light);
}

void TestBar::screensAndPanels_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QVariantMap>("keys");
    QTest::addColumn<QRect>("geometry");
    // The main screen lies right of and below another monitor.
    const QRect aside(1920, 300, 1440, 900), asideAvailable(1920, 325, 1440, 875);
    QTest::newRow("aside: centred")
        << aside << asideAvailable << QVariantMap() << QRect(2361, 728, 558, 18);
    QTest::newRow("aside: stored on the other monitor")
        << aside << asideAvailable << QVariantMap{{"windowLeft", 100}, {"windowTop", 310}}
        << QRect(1920, 325, 558, 18);
    QTest::newRow("aside: stored beyond the right and bottom edges")
        << aside << asideAvailable << QVariantMap{{"windowLeft", 3500}, {"windowTop", 1500}}
        << QRect(2802, 1182, 558, 18);
    // A panel of 30 at the bottom, with or without one of 25 at the top.
    const QRect screen(0, 0, 1440, 900);
    QTest::newRow("bottom panel: stored near the top is kept")
        << screen << QRect(0, 0, 1440, 870) << QVariantMap{{"windowLeft", 300}, {"windowTop", 5}}
        << QRect(300, 5, 558, 18);
    QTest::newRow("bottom panel: stored below the work area, brought above the panel")
        << screen << QRect(0, 0, 1440, 870) << QVariantMap{{"windowLeft", 300}, {"windowTop", 1200}}
        << QRect(300, 852, 558, 18);
    QTest::newRow("both panels: stored under the top one")
        << screen << QRect(0, 25, 1440, 845) << QVariantMap{{"windowLeft", 300}, {"windowTop", 5}}
        << QRect(300, 25, 558, 18);
}

void TestBar::screensAndPanels()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, available);
    QFETCH(QVariantMap, keys);
    QFETCH(QRect, geometry);
    fakePlatform().screen = screen;
    fakePlatform().available = available;
    openApp();
    openBar(keys);
    QCOMPARE(bar->geometry(), geometry);
    if (keys.contains("windowTop")) // a centred strip stores nothing
        QCOMPARE(prefs().Get("windowTop").toInt(), geometry.y());
}

void TestBar::doubleClick_data()
{
    // Presses at these tick counts: "c" marks a contextual (right-button) click, "+" a press the
    // handle takes (a drag may follow), "-" one it does not.
    QTest::addColumn<QString>("presses");
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("sounds");

    const QStringList off{"switchOff.aif"};
    QTest::newRow("29 ticks apart") << "1000+ 1029-" << 18 << off;
    QTest::newRow("30 ticks apart: the second press starts a new pair")
        << "1000+ 1030+ 1040-" << 18 << off;
    QTest::newRow("four quick presses: shrunk and expanded again")
        << "1000+ 1010- 1020+ 1030-" << 558 << QStringList{"switchOff.aif", "switchOn.aif"};
    QTest::newRow("a contextual click does not end a pair") << "1000+ c1010- 1020-" << 18 << off;
    QTest::newRow("a contextual click does not start a pair")
        << "c1000- 1010+" << 558 << QStringList();
    QTest::newRow("a first press in the program's first half second")
        << "10+" << 558 << QStringList();
}

void TestBar::doubleClick()
{
    QFETCH(QString, presses);
    QFETCH(int, width);
    QFETCH(QStringList, sounds);

    openBar();
    fakePlatform().soundsPlayed.clear();
    MyCanvas* handle = bar->SettingsCanvas();
    QStringList taken;
    for (const QString& press : presses.split(' ')) {
        const Qt::MouseButton button = press.startsWith('c') ? Qt::RightButton : Qt::LeftButton;
        fakePlatform().tickCount = press.chopped(1).remove('c').toLongLong();
        QMouseEvent event(QEvent::MouseButtonPress, QPointF(4, 5),
                          handle->mapToGlobal(QPointF(4, 5)), button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &event);
        taken << press.chopped(1) + (handle->tookMouse() ? "+" : "-");
    }
    QCOMPARE(taken.join(' '), presses);
    QCOMPARE(bar->width(), width);
    QCOMPARE(fakePlatform().soundsPlayed, sounds);
    // The View menu names the size the bar has now, though no new list was handed over.
    QCOMPARE(texts(viewMenu()).last(), width == 18 ? QString("Expand") : QString("Minimize"));
}

void TestBar::quitStoresTheButtonsKeysBeforeSaving()
{
    openBar();
    fakePlatform().soundsPlayed.clear();
    QMenu base;
    bar->SettingsCanvas_ContextualMenuAction(bar->SettingsCanvas(), item(handleMenu(base), "Quit"));

    QVERIFY(app().isQuitting());
    QVERIFY(!bar->isVisible());
    QCOMPARE(fakePlatform().soundsPlayed, QStringList{"switchOff.aif"});
    // The buttons closed with the window and put their keys into the store that is then saved.
    QVERIFY(app().Event_Close());
    QFile file(testEnvironment().dataHome() + "/Kelvora/Kelvora.js");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object();
    for (const char* key : {"BookmarksMenuAsMd5", "TypersMenuAsMd5", "MemosMenuAsMd5"})
        QVERIFY2(saved.contains(key), key);
}

KELVORA_TEST_MAIN(TestBar)
#include "tst_bar.moc"
