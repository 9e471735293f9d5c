#include "buttons/mybevelbutton.h"

// Placeholder bodies; the entry button's behaviour replaces them.

MyBevelButton::MyBevelButton(const QString& controlName, QWidget* parent) : QToolButton(parent)
{
    setObjectName(controlName);
}

MyBevelButton::~MyBevelButton() = default;

void MyBevelButton::Event_Open() {}
bool MyBevelButton::Event_MouseDown(int, int)
{
    return false;
}
void MyBevelButton::Event_MenuSelected(QAction*) {}
bool MyBevelButton::Event_DragEnter(const QMimeData*, int)
{
    return false;
}
void MyBevelButton::Event_DragExit(const QMimeData*, int) {}
void MyBevelButton::Event_DropObject(const QMimeData*, int) {}
void MyBevelButton::Event_Close() {}
void MyBevelButton::insertMenuItem(const QString&) {}
