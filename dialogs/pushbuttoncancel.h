#pragma once

// The Cancel (or No) button of the dialogs: closes its dialog and hands nothing back.

#include <QPushButton>

class PushButtonCancel : public QPushButton
{
    Q_OBJECT
public:
    explicit PushButtonCancel(QWidget* parent = nullptr);

    void Event_Action();
};
