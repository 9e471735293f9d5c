#include "bar/windowbevelbuttons.h"

#include "app/app.h"
#include "app/stringmodule.h"
#include "app/texts.h"
#include "bar/mycanvas.h"
#include "bar/myviewmenu.h"
#include "buttons/mybevelbutton.h"

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
// Window managers may place a new window once more right after it is mapped.
constexpr int windowManagerSettleMs = 100;

// The strip's own colours in every role and state: drawn in the desktop theme's colours, a dark
// theme's near-white arrows and captions would vanish on the buttons' fixed light background.
// Its menus are windows of their own and follow the theme.
QPalette stripPalette()
{
    QPalette palette(QColor(252, 248, 255), QColor(239, 239, 239));
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
    // The buttons' own background colour; the caption stands beside the icon.
    const QColor background(252, 248, 255);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, background);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::ButtonText, Qt::black);
    button->setPalette(palette);
    button->setAutoFillBackground(true);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIconSize(QSize(16, 16));
    button->setDown(false);
    button->setToolTip(QString());
    button->isAltKey = false;
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
    keepOnEveryWorkspace();
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
    controls << handle;
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

    const struct {
        QLatin1StringView name;
        int left;
        QPixmap (BundleResources::*icon)();
    } buttons[] = {{BarTexts::Bookmarks, 18, &BundleResources::W},
                   {BarTexts::Typers, 198, &BundleResources::T},
                   {BarTexts::Memos, 378, &BundleResources::M}};
    for (const auto& design : buttons) {
        auto* button = new MyBevelButton(design.name, this);
        controls << button;
        button->setIcon((resources.*design.icon)());
        button->setGeometry(design.left, -1, buttonWidth, barHeight + 1);
        applyButtonDesign(button);
    }

    // Laid over the buttons without taking their presses or drops.
    auto* cover = new QWidget(this);
    cover->setObjectName(QStringLiteral("GlobalFloatingCanvas"));
    controls << cover;
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

QWidget* WindowBevelButtons::GlobalFloatingCanvas() const
{
    return findChild<QWidget*>(QStringLiteral("GlobalFloatingCanvas"), Qt::FindDirectChildrenOnly);
}

QList<MyBevelButton*> WindowBevelButtons::entryButtons() const
{
    QList<MyBevelButton*> buttons;
    for (QWidget* control : controls) {
        if (auto* button = qobject_cast<MyBevelButton*>(control))
            buttons << button;
    }
    return buttons;
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
    auto& prefs = app.Preferences();
    const QString allNames = BarTexts::buttonNames;
    const auto isEntryButton = [&](const QWidget* control) {
        return StringModule::regExTest(control->objectName(), allNames, false);
    };

    const int n = ControlCount();
    QStringList e;
    const QVariant current = prefs.Get(Keys::CurrentBevelButton);
    if (current.isValid()) {
        const QString shown = current.toString();
        for (int i = 0; i < n; ++i) {
            QWidget* control = Control(i);
            if (control->objectName() == shown) {
                control->move(handleSize, control->y());
                currentWidth = control->width() + handleSize;
                control->setVisible(true);
            } else if (isEntryButton(control)) {
                control->setVisible(false);
                e << control->objectName();
            }
        }
        e << BarTexts::separator << BarTexts::ShowAll;
    } else {
        e = allNames.split(u',');
        int x = handleSize;
        for (int i = 0; i < n; ++i) {
            QWidget* control = Control(i);
            if (!isEntryButton(control))
                continue;
            control->move(x, control->y());
            x += control->width();
            control->setVisible(true);
        }
        currentWidth = maximumWidth();
    }

    const bool minimised = prefs.Get(Keys::windowSize).toString() == BarTexts::Min;
    e << BarTexts::separator << (minimised ? BarTexts::Expand : BarTexts::Minimize);
    if (MyViewMenu* viewMenu = app.ViewMenu())
        viewMenu->menuEntries = e;

    if (minimised) {
        toggleSize();
    } else {
        play(&BundleResources::switchOn);
        setPosition();
    }
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
    windowManagerSettle = new QTimer(this);
    windowManagerSettle->setSingleShot(true);
    connect(windowManagerSettle, &QTimer::timeout, this, [this, placed] {
        if (pos() != placed)
            move(placed);
        keepOnEveryWorkspace();
    });
    windowManagerSettle->start(windowManagerSettleMs);
}

void WindowBevelButtons::stopHoldingPosition()
{
    // A drag or a new placement of our own is not to be undone.
    if (windowManagerSettle && windowManagerSettle->isActive()) {
        windowManagerSettle->stop();
        keepOnEveryWorkspace();
    }
}
