#include "dialogs/pushbuttonok.h"

#include "buttons/mybevelbutton.h"

PushButtonOk::PushButtonOk(QWidget* parent) : QPushButton(parent)
{
    connect(this, &QPushButton::clicked, this, &PushButtonOk::Event_Action);
}

void PushButtonOk::Event_Action()
{
    if (callingBevelButton && !callingBevelButton->insertMenuItem(menuEntry))
        return;
    window()->close();
}
