#pragma once

// The question dialog: asks a yes/no question or shows a notice. Its caller sets the label and
// whether No shows; Yes acts on the label's text (making the login item, or opening the
// download), No only closes.

#include "dialogs/dialogwindow.h"

class PushButtonCancel;

class DialogWindowAsk : public DialogWindow
{
    Q_OBJECT
public:
    // The one question dialog, built hidden when there is none, with the start-up question as
    // its text and No visible.
    static DialogWindowAsk* instance();

    QLabel* LabelAsk() const;
    QPushButton* ButtonOk() const;
    PushButtonCancel* ButtonCancel() const;

    void ButtonOk_Action(QPushButton* button);

    // Sets the label and No's visibility, then shows the dialog without waiting.
    static void ask(const QString& label, bool showNo);

protected:
    void Layout() override;
    void _CreateControls0() override;

private:
    friend class DialogWindow;
    DialogWindowAsk() = default;
};
