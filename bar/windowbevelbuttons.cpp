#include "bar/windowbevelbuttons.h"

#include "app/app.h"
#include "app/myviewmenu.h"
#include "app/texts.h"
#include "bar/mycanvas.h"
#include "buttons/mybevelbutton.h"
#include "platform/floatingwindow.h"

#include <QCloseEvent>
#include <QPalette>
#include <QTimer>

namespace
{

WindowBevelButtons* theBar = nullptr;

constexpr int handleSize = 18;
constexpr int buttonWidth = 180;
constexpr int barWidth = handleSize + 3 * buttonWidth; // 558
constexpr int barHeight = 18;
constexpr int moveDebounceMs = 200;
// The strip's and the buttons' background.
const QColor stripColour(App::stripColour);

// The entry buttons, left to right.
constexpr struct {
    QLatin1StringView name;
    QPixmap (BundleResources::*icon)();
} entryButtonDesigns[] = {{BarTexts::Bookmarks, &BundleResources::W},
                          {BarTexts::Typers, &BundleResources::T},
                          {BarTexts::Memos, &BundleResources::M}};
// Window managers may place a new window once more right after it is mapped.
constexpr int windowManagerSettleMs = 100;

// The strip's own colours in every role and state: drawn in the desktop theme's colours, a dark
// theme's near-white arrows and captions would vanish on the buttons' fixed light background.
// Its menus are windows of their own and follow the theme.
QPalette stripPalette()
{
    QPalette palette(stripColour, QColor(239, 239, 239));
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = static_cast<QPalette::ColorGroup>(group);
            const auto r = static_cast<QPalette::ColorRole>(role);
            if (r != QPalette::NoRole)
                palette.setBrush(g, r, palette.brush(g, r)); // marked as the strip's own
        }
    }
    return palette;
}

void applyButtonDesign(MyBevelButton* button)
{
    // The caption stands beside the icon.
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, stripColour);
    palette.setColor(QPalette::Window, stripColour);
    palette.setColor(QPalette::ButtonText, Qt::black);
    button->setPalette(palette);
    button->setAutoFillBackground(true);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIconSize(QSize(16, 16));
    button->setDown(false);
    button->setToolTip(QString());
    button->setInsertion(false, 0);
}

void play(std::shared_ptr<Sound> (BundleResources::*sound)())
{
    BundleResources& resources = App::instance()->resources();
    resources.play((resources.*sound)());
}

} // namespace

WindowBevelButtons::WindowBevelButtons()
{
    theBar = this;
    Layout();
    CreateControls();
    FloatingWindow::keepOnEveryWorkspace(this);
    FloatingWindow::keepOriginTrue(this);
}

WindowBevelButtons::~WindowBevelButtons()
{
    if (theBar == this)
        theBar = nullptr;
}

WindowBevelButtons* WindowBevelButtons::instance()
{
    return theBar;
}

void WindowBevelButtons::Layout()
{
    // Floats above every application's windows and never takes the keyboard focus, so that a
    // typer pastes into the application the user was working in.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Qt shows tooltips in the active window only, and the strip never is one.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setPalette(stripPalette());
    setWindowTitle(QString());
    setMinimumSize(handleSize, barHeight);
    setMaximumSize(barWidth, barHeight);
    resize(barWidth, barHeight);
}

void WindowBevelButtons::CreateControls()
{
    _CreateControls0();
}

void WindowBevelButtons::_CreateControls0()
{
    BundleResources& resources = App::instance()->resources();

    auto* handle = new MyCanvas(this);
    handle->setObjectName(QStringLiteral("SettingsCanvas"));
    handle->setBackdrop(resources.P_Off());
    handle->setGeometry(0, 0, handleSize, handleSize);
    connect(handle, &MyCanvas::MouseDown, this, [this, handle](int x, int y, bool* taken) {
        *taken = SettingsCanvas_MouseDown(handle, x, y);
    });
    connect(handle, &MyCanvas::MouseDrag, this,
            [this, handle](int x, int y) { SettingsCanvas_MouseDrag(handle, x, y); });
    connect(handle, &MyCanvas::MouseUp, this,
            [this, handle](int x, int y) { SettingsCanvas_MouseUp(handle, x, y); });
    connect(handle, &MyCanvas::ConstructContextualMenu, this,
            [this, handle](QMenu* base, int x, int y, bool* show) {
                *show = SettingsCanvas_ConstructContextualMenu(handle, base, x, y);
            });
    connect(handle, &MyCanvas::ContextualMenuAction, this, [this, handle](QAction* hitItem) {
        SettingsCanvas_ContextualMenuAction(handle, hitItem);
    });

    int left = handleSize;
    for (const auto& design : entryButtonDesigns) {
        auto* button = new MyBevelButton(design.name, this);
        button->setIcon((resources.*design.icon)());
        button->setGeometry(left, -1, buttonWidth, barHeight + 1);
        left += buttonWidth;
        applyButtonDesign(button);
    }

    // Laid over the buttons without taking their presses or drops.
    auto* cover = new QWidget(this);
    cover->setObjectName(QStringLiteral("GlobalFloatingCanvas"));
    cover->setGeometry(handleSize, 0, 3 * buttonWidth, barHeight);
    cover->setAttribute(Qt::WA_TransparentForMouseEvents);
    cover->setFocusPolicy(Qt::NoFocus);
}

MyCanvas* WindowBevelButtons::SettingsCanvas() const
{
    return findChild<MyCanvas*>(QStringLiteral("SettingsCanvas"), Qt::FindDirectChildrenOnly);
}

MyBevelButton* WindowBevelButtons::Bookmarks() const
{
    return findChild<MyBevelButton*>(BarTexts::Bookmarks, Qt::FindDirectChildrenOnly);
}

MyBevelButton* WindowBevelButtons::Typers() const
{
    return findChild<MyBevelButton*>(BarTexts::Typers, Qt::FindDirectChildrenOnly);
}

MyBevelButton* WindowBevelButtons::Memos() const
{
    return findChild<MyBevelButton*>(BarTexts::Memos, Qt::FindDirectChildrenOnly);
}

QList<MyBevelButton*> WindowBevelButtons::entryButtons() const
{
    // In creation order, which is their order left to right.
    return findChildren<MyBevelButton*>(Qt::FindDirectChildrenOnly);
}

void WindowBevelButtons::Event_Open()
{
    hasMovedTimer = new QTimer(this);
    hasMovedTimer->setSingleShot(true);
    connect(hasMovedTimer, &QTimer::timeout, this, &WindowBevelButtons::hasMovedTimer_Action);
    hasMovedTimer->setInterval(moveDebounceMs);
    buildBevelButtons();
}

void WindowBevelButtons::Event_Close()
{
    play(&BundleResources::switchOff);
    // Harmless when the application is already quitting (this close is then part of it).
    App::instance()->Quit();
}

void WindowBevelButtons::buildBevelButtons()
{
    App& app = *App::instance();
    const QVariant current = app.Preferences().Get(Keys::CurrentBevelButton);
    int x = handleSize;
    for (MyBevelButton* button : entryButtons()) {
        if (!current.isValid()) {
            button->move(x, button->y());
            x += button->width();
            button->setVisible(true);
        } else if (button->objectName() == current.toString()) {
            button->move(handleSize, button->y());
            currentWidth = button->width() + handleSize;
            button->setVisible(true);
        } else {
            button->setVisible(false);
        }
    }
    if (!current.isValid())
        currentWidth = maximumWidth();

    if (MyViewMenu* viewMenu = app.ViewMenu())
        viewMenu->menuEntries = layoutItems();

    if (MyViewMenu::storedMinimised()) {
        toggleSize();
    } else {
        play(&BundleResources::switchOn);
        setPosition();
    }
}

QStringList WindowBevelButtons::layoutItems()
{
    const QVariant current = App::instance()->Preferences().Get(Keys::CurrentBevelButton);
    QStringList items;
    for (const auto& design : entryButtonDesigns) {
        if (!current.isValid() || current.toString() != design.name)
            items << design.name;
    }
    if (current.isValid())
        items << BarTexts::separator << BarTexts::ShowAll;
    items << BarTexts::separator << MyViewMenu::sizeWord();
    return items;
}

void WindowBevelButtons::toggleSize()
{
    auto& prefs = App::instance()->Preferences();
    // The direction follows the width alone, not the item chosen nor the stored size.
    if (width() == minimumWidth()) {
        play(&BundleResources::switchOn);
        prefs.Set(Keys::windowSize, QString(BarTexts::Max));
    } else {
        play(&BundleResources::switchOff);
        prefs.Set(Keys::windowSize, QString(BarTexts::Min));
    }
    setPosition();
}

void WindowBevelButtons::showEvent(QShowEvent*)
{
    if (opened)
        return;
    opened = true;
    for (MyBevelButton* button : entryButtons())
        button->Event_Open();
    Event_Open();
    holdPositionAgainstWindowManager();
}

void WindowBevelButtons::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (closed)
        return;
    closed = true;
    // The buttons store their keys here, before the application saves the preferences.
    storeButtonKeys();
    Event_Close();
}

void WindowBevelButtons::storeButtonKeys()
{
    for (MyBevelButton* button : entryButtons())
        button->Event_Close();
}

void WindowBevelButtons::moveEvent(QMoveEvent*)
{
    Event_Moved();
}

void WindowBevelButtons::holdPositionAgainstWindowManager()
{
    const QPoint placed = pos();
    awaitedPlace = placed;
    windowManagerSettle = new QTimer(this);
    windowManagerSettle->setSingleShot(true);
    connect(windowManagerSettle, &QTimer::timeout, this, [this, placed] {
        if (pos() != placed)
            move(placed);
        FloatingWindow::keepOnEveryWorkspace(this);
    });
    windowManagerSettle->start(windowManagerSettleMs);
}

void WindowBevelButtons::stopHoldingPosition()
{
    // A drag or a new placement of our own is not to be undone.
    awaitedPlace.reset();
    if (windowManagerSettle && windowManagerSettle->isActive()) {
        windowManagerSettle->stop();
        FloatingWindow::keepOnEveryWorkspace(this);
    }
}
