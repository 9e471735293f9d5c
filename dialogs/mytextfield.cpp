#include "dialogs/mytextfield.h"

#include "app/stringmodule.h"
#include "dialogs/dialogpatterns.h"
#include "dialogs/pushbuttonok.h"

#include <QPalette>

#include <limits>

namespace
{
constexpr int fontPixels = 12;
} // namespace

MyTextField::MyTextField(QWidget* parent) : QLineEdit(parent)
{
    QFont fieldFont = font();
    fieldFont.setPixelSize(fontPixels);
    setFont(fieldFont);
    setFrame(true);
    setMaxLength(std::numeric_limits<int>::max());
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::white);
    colours.setColor(QPalette::Text, validColor());
    setPalette(colours);
    // textChanged, not textEdited: text put in by code is checked as typed text is.
    connect(this, &QLineEdit::textChanged, this, &MyTextField::Event_TextChange);
}

QColor MyTextField::validColor()
{
    return QColor(0, 0, 0);
}

QColor MyTextField::invalidColor()
{
    return QColor(128, 128, 128);
}

void MyTextField::Event_TextChange()
{
    validate();
}

void MyTextField::validate()
{
    isValid = StringModule::regExTest(validationPattern, text(), false, DialogPatterns::options);
    QPalette colours = palette();
    colours.setColor(QPalette::Text, isValid ? validColor() : invalidColor());
    setPalette(colours);
    if (!MyButtonOk)
        return;
    if (!isValid)
        MyButtonOk->setEnabled(false);
    else if (!requiredField || requiredField->isValid)
        MyButtonOk->setEnabled(true);
}
