#include "app/mymenubar.h"
#include "app/texts.h"
#include "bar/mycanvas.h"
#include "bar/myviewmenu.h"
#include "bar/windowbevelbuttons.h"
#include "buttons/mybevelbutton.h"
#include "tests/testsupport.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>

#include <memory>

// The bar window on a fake 1440 x 900 main screen whose top 25 points are the menu bar: its
// layouts, sizes and remembered positions, the handle's clicks, drag and menu, the View menu
// and the menu bar.
class TestBar : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void menuBarAsBuilt();
    void supportItemsRunTheirHandlers();
    void editItemsActOnTheFocusedField();
    void openLayout_data();
    void openLayout();
    void placementAtOpen_data();
    void placementAtOpen();
    void adjustPosition_data();
    void adjustPosition();
    void menusInEveryState_data();
    void menusInEveryState();
    void layoutChoices_data();
    void layoutChoices();
    void viewMenuFollowsASizeChangedElsewhere();
    void doubleClick_data();
    void doubleClick();
    void dragIsUnboundedAndSnapsAfterRelease();
    void pressesAndDropsReachTheButtons();
    // Quitting ends the event loop for good, so this runs last.
    void quitStoresTheButtonsKeysBeforeSaving();

private:
    App& app() { return *App::instance(); }
    PreferencesModule::Preferences& prefs() { return app().Preferences(); }
    QString prefsPath() const { return testEnvironment().dataHome() + "/Kelvora/Kelvora.js"; }
    WindowBevelButtons& openBar(const QVariantMap& keys = {});
    QStringList shownButtons() const;
    static QStringList itemTexts(const QMenu& menu);
    QStringList handleMenu();
    QStringList viewMenu();
    static QAction* itemWithText(const QMenu& menu, const QString& text);

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
    QFile::remove(prefsPath());
    FakePlatform& fake = fakePlatform();
    fake.screen = QRect(0, 0, 1440, 900);
    fake.available = QRect(0, 25, 1440, 875);
    fake.mouseDown = false;
    fake.tickCount = 5000;
    app().Event_Open(); // a fresh, empty store; MenubarHeight 25
    // The buttons' entries files in the test's home, never beside the build.
    for (const char* name : {"Bookmarks", "Typers", "Memos"})
        prefs().Set(QString(name) + "File", testEnvironment().home() + "/" + name + ".txt");
}

void TestBar::cleanup()
{
    bar.reset();
}

WindowBevelButtons& TestBar::openBar(const QVariantMap& keys)
{
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        prefs().Set(it.key(), it.value());
    fakePlatform().soundsPlayed.clear();
    bar = std::make_unique<WindowBevelButtons>();
    bar->show();
    return *bar;
}

QStringList TestBar::shownButtons() const
{
    QStringList shown;
    for (MyBevelButton* button : {bar->Bookmarks(), bar->Typers(), bar->Memos()}) {
        if (!button->isHidden())
            shown << button->objectName() + "@" + QString::number(button->x());
    }
    return shown;
}

QStringList TestBar::itemTexts(const QMenu& menu)
{
    QStringList texts;
    for (const QAction* item : menu.actions())
        texts << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return texts;
}

QStringList TestBar::handleMenu()
{
    QMenu base;
    if (!bar->SettingsCanvas_ConstructContextualMenu(bar->SettingsCanvas(), &base, 3, 3))
        return {};
    return itemTexts(base);
}

QStringList TestBar::viewMenu()
{
    MyViewMenu* view = app().ViewMenu();
    emit view->aboutToShow();
    return itemTexts(*view);
}

QAction* TestBar::itemWithText(const QMenu& menu, const QString& text)
{
    for (QAction* item : menu.actions()) {
        if (!item->isSeparator() && item->text() == text)
            return item;
    }
    return nullptr;
}

void TestBar::menuBarAsBuilt()
{
    QStringList menus;
    for (const QAction* menu : menuBar->actions())
        menus << menu->objectName() + "|" + menu->text();
    QCOMPARE(menus, QStringList({"EditMenu|Edit", "ViewMenu|View", "SupportMenu|Support"}));

    const auto items = [&](const char* menuName) {
        QStringList found;
        for (const QAction* item : menuBar->findChild<QMenu*>(menuName)->actions())
            found << item->objectName() + "|" + (item->isSeparator() ? "-" : item->text()) + "|" +
                         item->shortcut().toString(QKeySequence::PortableText);
        return found;
    };
    QCOMPARE(items("EditMenu"),
             QStringList({"EditCut|Cut|Ctrl+X", "EditCopy|Copy|Ctrl+C", "EditPaste|Paste|Ctrl+V",
                          "UntitledSeparator1|-|", "EditSelectAll|Select All|Ctrl+A"}));
    QCOMPARE(items("SupportMenu"),
             QStringList({"SupportWhatIliked|What I liked...|",
                          "SupportMySuggestions|My Suggestions...|",
                          "SupportProblemsIhad|Problems I had...|", "Separator2|-|",
                          "SupportSite|" + QString(MenuTexts::siteHost) + "|", "Separator3|-|",
                          "SupportCheckforUpdate|Check for Update....|"}));

    // Empty until the bar window hands it its entries.
    QCOMPARE(app().ViewMenu(), menuBar->findChild<MyViewMenu*>("ViewMenu"));
    QCOMPARE(viewMenu(), QStringList());
}

void TestBar::supportItemsRunTheirHandlers()
{
    QStringList ran;
    const QStringList names = {"SupportWhatIliked", "SupportMySuggestions", "SupportProblemsIhad",
                               "SupportSite", "SupportCheckforUpdate"};
    for (const QString& name : names)
        app().registerMenuHandler(name, [&ran, name] {
            ran << name;
            return false;
        });
    for (QAction* item : menuBar->findChild<QMenu*>("SupportMenu")->actions())
        item->trigger();
    QCOMPARE(ran, QStringList({"SupportWhatIliked", "SupportMySuggestions", "SupportProblemsIhad",
                               "SupportSite", "SupportCheckforUpdate"}));
}

void TestBar::editItemsActOnTheFocusedField()
{
    QWidget dialog;
    auto* field = new QLineEdit("hello", &dialog);
    (new QVBoxLayout(&dialog))->addWidget(field);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    field->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTRY_COMPARE(QApplication::focusWidget(), field);

    const auto choose = [&](const char* name) { menuBar->findChild<QAction*>(name)->trigger(); };
    choose("EditSelectAll");
    QCOMPARE(field->selectedText(), QString("hello"));
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

void TestBar::openLayout_data()
{
    QTest::addColumn<QVariantMap>("keys");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("sounds");
    QTest::addColumn<QStringList>("viewEntries");

    const QStringList all = {"Bookmarks@18", "Typers@198", "Memos@378"};
    QTest::newRow("first start") << QVariantMap() << all << 558 << QStringList{"switchOn.aif"}
                                 << QStringList{"Bookmarks", "Typers", "Memos", "-", "Minimize"};
    QTest::newRow("one button, expanded")
        << QVariantMap{{"CurrentBevelButton", "Typers"}, {"windowSize", "Max"}}
        << QStringList{"Typers@18"} << 198 << QStringList{"switchOn.aif"}
        << QStringList{"Bookmarks", "Memos", "-", "Show All", "-", "Minimize"};
    QTest::newRow("one button, size never toggled")
        << QVariantMap{{"CurrentBevelButton", "Memos"}} << QStringList{"Memos@18"} << 558
        << QStringList{"switchOn.aif"}
        << QStringList{"Bookmarks", "Typers", "-", "Show All", "-", "Minimize"};
    QTest::newRow("minimised") << QVariantMap{{"windowSize", "Min"}} << all << 18
                               << QStringList{"switchOff.aif"}
                               << QStringList{"Bookmarks", "Typers", "Memos", "-", "Expand"};
    QTest::newRow("stored name matches no button")
        << QVariantMap{{"CurrentBevelButton", "Nobody"}, {"windowSize", "Max"}} << QStringList()
        << 18 << QStringList{"switchOn.aif"}
        << QStringList{"Bookmarks", "Typers", "Memos", "-", "Show All", "-", "Minimize"};
}

void TestBar::openLayout()
{
    QFETCH(QVariantMap, keys);
    QFETCH(QStringList, shown);
    QFETCH(int, width);
    QFETCH(QStringList, sounds);
    QFETCH(QStringList, viewEntries);

    openBar(keys);
    QCOMPARE(shownButtons(), shown);
    QCOMPARE(bar->width(), width);
    QCOMPARE(bar->height(), 18);
    QCOMPARE(fakePlatform().soundsPlayed, sounds);
    QCOMPARE(app().ViewMenu()->menuEntries, viewEntries);
    // Opening writes neither the layout nor the size.
    QCOMPARE(prefs().Get("CurrentBevelButton"), keys.value("CurrentBevelButton"));
    QCOMPARE(prefs().Get("windowSize"), keys.value("windowSize"));
}

void TestBar::placementAtOpen_data()
{
    QTest::addColumn<QVariantMap>("keys");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QVariantMap>("storedAfter"); // an invalid value: the key is absent

    QTest::newRow("no keys: centred in the available area, nothing stored")
        << QVariantMap() << QRect(441, 428, 558, 18)
        << QVariantMap{{"windowLeft", QVariant()}, {"windowTop", QVariant()}};
    QTest::newRow("stored top 0 ignores the stored left")
        << QVariantMap{{"windowSize", "Max"}, {"windowMaxTop", 0}, {"windowMaxLeft", 700}}
        << QRect(441, 428, 558, 18)
        << QVariantMap{{"windowMaxTop", qint64(0)}, {"windowMaxLeft", qint64(700)}};
    QTest::newRow("stored top under the menu bar")
        << QVariantMap{{"windowSize", "Max"}, {"windowMaxTop", 10}, {"windowMaxLeft", 300}}
        << QRect(300, 25, 558, 18)
        << QVariantMap{{"windowMaxTop", qint64(25)}, {"windowMaxLeft", qint64(300)}};
    QTest::newRow("after the first toggle the unsized keys are not read")
        << QVariantMap{{"windowSize", "Max"}, {"windowLeft", 100}, {"windowTop", 200}}
        << QRect(441, 428, 558, 18) << QVariantMap{{"windowMaxTop", QVariant()}};
    QTest::newRow("the handle alone is centred as well")
        << QVariantMap{{"windowSize", "Min"}} << QRect(711, 428, 18, 18)
        << QVariantMap{{"windowMinTop", QVariant()}};
}

void TestBar::placementAtOpen()
{
    QFETCH(QVariantMap, keys);
    QFETCH(QRect, geometry);
    QFETCH(QVariantMap, storedAfter);

    openBar(keys);
    QCOMPARE(bar->geometry(), geometry);
    for (auto it = storedAfter.cbegin(); it != storedAfter.cend(); ++it)
        QCOMPARE(prefs().Get(it.key()), it.value());
}

void TestBar::adjustPosition_data()
{
    QTest::addColumn<QVariantMap>("keys");
    QTest::addColumn<QPoint>("releasedAt");
    QTest::addColumn<QPoint>("endsAt");
    QTest::addColumn<QString>("keyPrefix");

    QTest::newRow("left of and below a 900-point screen")
        << QVariantMap() << QPoint(-40, 2000) << QPoint(0, 882) << "window";
    QTest::newRow("300 points beyond the right edge")
        << QVariantMap{{"windowSize", "Max"}} << QPoint(1440 - 558 + 300, 400) << QPoint(882, 400)
        << "windowMax";
    QTest::newRow("top edge under the menu bar")
        << QVariantMap{{"windowSize", "Max"}} << QPoint(100, 10) << QPoint(100, 25) << "windowMax";
    QTest::newRow("the handle alone at the right edge")
        << QVariantMap{{"windowSize", "Min"}} << QPoint(1439, 300) << QPoint(1422, 300)
        << "windowMin";
}

void TestBar::adjustPosition()
{
    QFETCH(QVariantMap, keys);
    QFETCH(QPoint, releasedAt);
    QFETCH(QPoint, endsAt);
    QFETCH(QString, keyPrefix);

    openBar(keys);
    bar->move(releasedAt);
    bar->adjustPosition();
    QCOMPARE(bar->pos(), endsAt);
    QCOMPARE(prefs().Get(keyPrefix + "Left").toLongLong(), endsAt.x());
    QCOMPARE(prefs().Get(keyPrefix + "Top").toLongLong(), endsAt.y());
}

void TestBar::menusInEveryState_data()
{
    QTest::addColumn<QVariantMap>("keys");
    QTest::addColumn<QStringList>("handleItems");

    const QStringList allMax = {"Bookmarks", "Typers", "Memos", "-", "Minimize", "-", "Quit"};
    QTest::newRow("all three, expanded") << QVariantMap{{"windowSize", "Max"}} << allMax;
    QTest::newRow("all three, minimised")
        << QVariantMap{{"windowSize", "Min"}}
        << QStringList{"Bookmarks", "Typers", "Memos", "-", "Expand", "-", "Quit"};
    QTest::newRow("only Typers, expanded")
        << QVariantMap{{"CurrentBevelButton", "Typers"}, {"windowSize", "Max"}}
        << QStringList{"Bookmarks", "Memos", "-", "Show All", "-", "Minimize", "-", "Quit"};
    QTest::newRow("only Memos, minimised")
        << QVariantMap{{"CurrentBevelButton", "Memos"}, {"windowSize", "Min"}}
        << QStringList{"Bookmarks", "Typers", "-", "Show All", "-", "Expand", "-", "Quit"};
}

void TestBar::menusInEveryState()
{
    QFETCH(QVariantMap, keys);
    QFETCH(QStringList, handleItems);

    openBar(keys);
    QCOMPARE(handleMenu(), handleItems);
    // The View menu offers the same choices, without "Quit".
    QCOMPARE(viewMenu(), handleItems.mid(0, handleItems.size() - 2));
}

void TestBar::layoutChoices_data()
{
    QTest::addColumn<bool>("fromViewMenu");
    QTest::addColumn<QVariantMap>("keys");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("sounds");
    QTest::addColumn<QVariant>("windowSize");
    QTest::addColumn<QVariant>("currentBevelButton");

    const QStringList all = {"Bookmarks@18", "Typers@198", "Memos@378"};
    const QVariant absent;
    for (const bool view : {false, true}) {
        const QString from = view ? "View menu: " : "handle menu: ";
        const auto row = [&](const char* name) -> QTestData& {
            return QTest::newRow(qPrintable(from + name));
        };
        row("one button while minimised")
            << view << QVariantMap{{"windowSize", "Min"}} << "Typers" << QStringList{"Typers@18"}
            << 198 << QStringList{"switchOn.aif"} << QVariant("Max") << QVariant("Typers");
        row("Show All while one button shows, minimised")
            << view << QVariantMap{{"CurrentBevelButton", "Typers"}, {"windowSize", "Min"}}
            << "Show All" << all << 558 << QStringList{"switchOn.aif"} << QVariant("Max") << absent;
        row("one button while the size is absent")
            << view << QVariantMap() << "Memos" << QStringList{"Memos@18"} << 558
            << QStringList{"switchOn.aif"} << absent << QVariant("Memos");
        row("Minimize while the size is absent")
            << view << QVariantMap() << "Minimize" << all << 18 << QStringList{"switchOff.aif"}
            << QVariant("Min") << absent;
    }
}

void TestBar::layoutChoices()
{
    QFETCH(bool, fromViewMenu);
    QFETCH(QVariantMap, keys);
    QFETCH(QString, item);
    QFETCH(QStringList, shown);
    QFETCH(int, width);
    QFETCH(QStringList, sounds);
    QFETCH(QVariant, windowSize);
    QFETCH(QVariant, currentBevelButton);

    openBar(keys);
    fakePlatform().soundsPlayed.clear();
    if (fromViewMenu) {
        MyViewMenu* view = app().ViewMenu();
        emit view->aboutToShow();
        QAction* chosen = itemWithText(*view, item);
        QVERIFY2(chosen, "the item is on offer");
        chosen->trigger();
    } else {
        QMenu base;
        bar->SettingsCanvas_ConstructContextualMenu(bar->SettingsCanvas(), &base, 3, 3);
        QAction* chosen = itemWithText(base, item);
        QVERIFY2(chosen, "the item is on offer");
        QVERIFY(!bar->SettingsCanvas_ContextualMenuAction(bar->SettingsCanvas(), chosen));
    }
    QCOMPARE(shownButtons(), shown);
    QCOMPARE(bar->width(), width);
    QCOMPARE(fakePlatform().soundsPlayed, sounds);
    QCOMPARE(prefs().Get("windowSize"), windowSize);
    QCOMPARE(prefs().Get("CurrentBevelButton"), currentBevelButton);
}

void TestBar::viewMenuFollowsASizeChangedElsewhere()
{
    openBar();
    MyCanvas* handle = bar->SettingsCanvas();
    fakePlatform().tickCount = 1000;
    bar->SettingsCanvas_MouseDown(handle, 4, 4);
    fakePlatform().tickCount = 1010;
    bar->SettingsCanvas_MouseDown(handle, 4, 4);
    QCOMPARE(bar->width(), 18);
    // No new list was handed over, yet the next display reads "Expand", and so does the list.
    QCOMPARE(viewMenu().last(), QString("Expand"));
    QCOMPARE(app().ViewMenu()->menuEntries.last(), QString("Expand"));
}

void TestBar::doubleClick_data()
{
    // Presses at these tick counts; "c" marks a contextual (right-button) click.
    QTest::addColumn<QStringList>("presses");
    QTest::addColumn<QList<bool>>("takesMouse");
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("sounds");
    QTest::addColumn<qint64>("firstClick");

    QTest::newRow("29 ticks apart") << QStringList{"1000", "1029"} << QList<bool>{true, false} << 18
                                    << QStringList{"switchOff.aif"} << qint64(0);
    QTest::newRow("30 ticks apart") << QStringList{"1000", "1030"} << QList<bool>{true, true} << 558
                                    << QStringList() << qint64(1030);
    QTest::newRow("three quick presses: the third starts a new pair")
        << QStringList{"1000", "1010", "1020"} << QList<bool>{true, false, true} << 18
        << QStringList{"switchOff.aif"} << qint64(1020);
    QTest::newRow("four quick presses: shrunk and expanded again")
        << QStringList{"1000", "1010", "1020", "1030"} << QList<bool>{true, false, true, false}
        << 558 << QStringList{"switchOff.aif", "switchOn.aif"} << qint64(0);
    QTest::newRow("a contextual click does not end a pair")
        << QStringList{"1000", "c1010", "1020"} << QList<bool>{true, false, false} << 18
        << QStringList{"switchOff.aif"} << qint64(0);
    QTest::newRow("a contextual click does not start a pair")
        << QStringList{"c1000", "1010"} << QList<bool>{false, true} << 558 << QStringList()
        << qint64(1010);
}

void TestBar::doubleClick()
{
    QFETCH(QStringList, presses);
    QFETCH(QList<bool>, takesMouse);
    QFETCH(int, width);
    QFETCH(QStringList, sounds);
    QFETCH(qint64, firstClick);

    openBar();
    fakePlatform().soundsPlayed.clear();
    MyCanvas* handle = bar->SettingsCanvas();
    QList<bool> took;
    for (QString press : presses) {
        handle->contextualClick = press.startsWith('c');
        fakePlatform().tickCount = press.remove('c').toLongLong();
        took << bar->SettingsCanvas_MouseDown(handle, 4, 5);
    }
    QCOMPARE(took, takesMouse);
    QCOMPARE(bar->width(), width);
    QCOMPARE(fakePlatform().soundsPlayed, sounds);
    QCOMPARE(handle->FirstClick, firstClick);
}

void TestBar::dragIsUnboundedAndSnapsAfterRelease()
{
    openBar({{"windowLeft", 600}, {"windowTop", 300}});
    MyCanvas* handle = bar->SettingsCanvas();
    fakePlatform().tickCount = 1000;
    fakePlatform().mouseDown = true;
    QVERIFY(bar->SettingsCanvas_MouseDown(handle, 5, 5));
    bar->SettingsCanvas_MouseDrag(handle, 55, 15);
    QCOMPARE(bar->pos(), QPoint(650, 310));
    bar->SettingsCanvas_MouseDrag(handle, 5 - 690, 5 + 2000);
    QCOMPARE(bar->pos(), QPoint(-40, 2310));

    // Held still for longer than the debounce: nothing is clamped or stored.
    QTest::qWait(600);
    QCOMPARE(bar->pos(), QPoint(-40, 2310));
    QCOMPARE(prefs().Get("windowLeft").toLongLong(), 600);
    QCOMPARE(prefs().Get("windowTop").toLongLong(), 300);

    fakePlatform().mouseDown = false;
    bar->SettingsCanvas_MouseUp(handle, 5, 5);
    QTRY_COMPARE(bar->pos(), QPoint(0, 882));
    QTRY_COMPARE(prefs().Get("windowLeft").toLongLong(), 0);
    QCOMPARE(prefs().Get("windowTop").toLongLong(), 882);
}

void TestBar::pressesAndDropsReachTheButtons()
{
    openBar();
    // Qt finds the target of a press or a drop with childAt: the cover must not be it.
    QCOMPARE(bar->childAt(9, 9), bar->SettingsCanvas());
    for (MyBevelButton* button : {bar->Bookmarks(), bar->Typers(), bar->Memos()})
        QCOMPARE(bar->childAt(button->geometry().center()), button);
}

void TestBar::quitStoresTheButtonsKeysBeforeSaving()
{
    openBar();
    fakePlatform().soundsPlayed.clear();
    QMenu base;
    bar->SettingsCanvas_ConstructContextualMenu(bar->SettingsCanvas(), &base, 3, 3);
    bar->SettingsCanvas_ContextualMenuAction(bar->SettingsCanvas(), itemWithText(base, "Quit"));

    QVERIFY(app().isQuitting());
    QVERIFY(!bar->isVisible());
    QCOMPARE(fakePlatform().soundsPlayed, QStringList{"switchOff.aif"});
    // The buttons closed with the window and put their keys into the store that is then saved.
    QVERIFY(app().Event_Close());
    QFile file(prefsPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object();
    for (const char* key : {"BookmarksMenuAsMd5", "TypersMenuAsMd5", "MemosMenuAsMd5"})
        QVERIFY2(saved.contains(key), key);
}

KELVORA_TEST_MAIN(TestBar)
#include "tst_bar.moc"
