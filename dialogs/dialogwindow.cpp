#include "dialogs/dialogwindow.h"

#include "app/app.h"
#include "app/texts.h"
#include "dialogs/pushbuttoncancel.h"
#include "dialogs/pushbuttonok.h"
#include "platform/windowstacking.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace
{

// The design's sizes are screen points, one pixel each at the usual scale: its 12-point
// buttons and fields fit their 20 and 22 pixels only at a 12-pixel font.
constexpr int controlFontPixels = 12;

} // namespace

DialogWindow::DialogWindow()
{
    // Closing ends the instance: the accessor then builds a fresh one, and this one goes once
    // the event that closed it has been handled.
    connect(this, &QDialog::finished, this, &QObject::deleteLater);
}

void DialogWindow::build()
{
    Layout();
    CreateControls();
    openControls();
    Event_Open();
}

void DialogWindow::Event_Open()
{
    App::instance()->resources().activateApp({});
}

void DialogWindow::applyWindowDesign(int width, int height)
{
    // Movable, with a title bar but no close, minimise or maximise button (which window
    // managers read as the functions they may offer; one that offers minimising anyway finds
    // the dialog back on screen at once).
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    // Modal to the strip, which it belongs to once shown: the strip takes no click or drop
    // meanwhile, while the tray icon's menus stay usable (Quit among them).
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral(" "));
    setFixedSize(width, height);
    setSizeGripEnabled(false);
    WindowStacking::keepClearOfFloatingWindows(this);
}

void DialogWindow::CreateControls()
{
    _CreateControls0();
}

void DialogWindow::placeControl(QWidget* control, const QString& name, const QRect& rect)
{
    control->setObjectName(name);
    control->setGeometry(rect);
}

QLabel* DialogWindow::addLabel(const QString& name, const QString& text, const QRect& rect)
{
    auto* label = new QLabel(text, this);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    label->setTextFormat(Qt::PlainText);
    placeControl(label, name, rect);
    return label;
}

void DialogWindow::placeButton(QPushButton* button, const QString& name, const QString& caption,
                               const QRect& rect, bool isDefault)
{
    button->setText(caption);
    QFont font = button->font();
    font.setPixelSize(controlFontPixels);
    button->setFont(font);
    // Only the confirming button answers Return, whichever button has the focus.
    button->setAutoDefault(false);
    button->setDefault(isDefault);
    placeControl(button, name, rect);
}

void DialogWindow::addOkAndCancel(const QRect& okRect, const QRect& cancelRect,
                                  const std::function<void(PushButtonOk*)>& onPress)
{
    auto* ok = new PushButtonOk(this);
    placeButton(ok, QStringLiteral("ButtonOk"), DialogTexts::ok, okRect, true);
    ok->setEnabled(false);
    connect(ok, &QPushButton::pressed, this, [ok, onPress] { onPress(ok); });
    placeButton(new PushButtonCancel(this), QStringLiteral("ButtonCancel"), DialogTexts::cancel,
                cancelRect, false);
}

void DialogWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Like every window kept clear of the strip, the dialog has taken the keyboard as it shows:
    // the user types into its first field at once.
    if (QWidget* field = firstFocus())
        field->setFocus(Qt::OtherFocusReason);
}

void DialogWindow::keyPressEvent(QKeyEvent* event)
{
    // No button of these dialogs is a cancel button: Escape does not close them.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DialogWindow::done(int result)
{
    // Every way out ends here: OK, Cancel, Yes, No, and a close offered by the window manager
    // (which acts as Cancel).
    closed = true;
    QDialog::done(result);
}

void DialogWindow::discardAll()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<DialogWindow*>(window)) {
            dialog->closed = true;
            dialog->hide();
            delete dialog;
        }
    }
}
