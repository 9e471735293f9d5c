#include "dialogs/pushbuttoncancel.h"

PushButtonCancel::PushButtonCancel(QWidget* parent) : QPushButton(parent)
{
    connect(this, &QPushButton::clicked, this, &PushButtonCancel::Event_Action);
}

void PushButtonCancel::Event_Action()
{
    window()->close();
}
