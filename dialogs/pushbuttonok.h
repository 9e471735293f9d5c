#pragma once

// The OK button of the entry dialogs: it carries the finished entry line and the entry button
// that is to receive it; pressing it hands the line over and closes the dialog.

#include <QPointer>
#include <QPushButton>
#include <QString>

class MyBevelButton;

class PushButtonOk : public QPushButton
{
    Q_OBJECT
public:
    explicit PushButtonOk(QWidget* parent = nullptr);

    // The entry button that receives the line; held weakly, so a dialog that outlives its
    // button (the program quitting) writes nothing.
    QPointer<MyBevelButton> callingBevelButton;
    // The entry line to hand over.
    QString menuEntry;

    // Hands menuEntry to the button and closes the dialog. When the entry could not be
    // written the dialog stays open with the user's text (the button has said what failed).
    void Event_Action();
};
