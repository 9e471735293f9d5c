#include "dialogs/dialogwindowtext.h"

#include "app/texts.h"
#include "buttons/mybevelbutton.h"
#include "dialogs/dialogpatterns.h"
#include "dialogs/mytextfield.h"
#include "dialogs/pushbuttoncancel.h"
#include "dialogs/pushbuttonok.h"

#include <QLabel>

namespace
{
QPointer<DialogWindowText> current;
} // namespace

DialogWindowText* DialogWindowText::instance()
{
    return instanceOf(current);
}

void DialogWindowText::Layout()
{
    applyWindowDesign(457, 118);
}

void DialogWindowText::_CreateControls0()
{
    addOkAndCancel(QRect(367, 78, 70, 20), QRect(286, 78, 70, 20),
                   [this](PushButtonOk* ok) { ButtonOk_MouseDown(ok, 0, 0); });
    addLabel(QStringLiteral("LabelTitle"), DialogTexts::text, QRect(20, 20, 99, 20));
    placeControl(new MyTextField(this), QStringLiteral("TextFieldText"), QRect(20, 44, 417, 22));
    setTabOrder(ButtonOk(), ButtonCancel());
    setTabOrder(ButtonCancel(), TextFieldText());
}

void DialogWindowText::openControls()
{
    TextFieldText_Open(TextFieldText());
}

QWidget* DialogWindowText::firstFocus() const
{
    return TextFieldText();
}

PushButtonOk* DialogWindowText::ButtonOk() const
{
    return findChild<PushButtonOk*>(QStringLiteral("ButtonOk"));
}

PushButtonCancel* DialogWindowText::ButtonCancel() const
{
    return findChild<PushButtonCancel*>(QStringLiteral("ButtonCancel"));
}

QLabel* DialogWindowText::LabelTitle() const
{
    return findChild<QLabel*>(QStringLiteral("LabelTitle"));
}

MyTextField* DialogWindowText::TextFieldText() const
{
    return findChild<MyTextField*>(QStringLiteral("TextFieldText"));
}

bool DialogWindowText::ButtonOk_MouseDown(PushButtonOk* button, int, int)
{
    button->menuEntry = TextFieldText()->text().trimmed();
    return false;
}

void DialogWindowText::TextFieldText_Open(MyTextField* field)
{
    field->validationPattern = DialogPatterns::word;
    field->MyButtonOk = ButtonOk();
}

void DialogWindowText::open(const QString& text, MyBevelButton* caller)
{
    TextFieldText()->setText(text.trimmed());
    ButtonOk()->callingBevelButton = caller;
    show();
}
