#pragma once

// The text dialog: adds one typer or memo, the trimmed text of its field, to the button that
// opened it.

#include "dialogs/dialogwindow.h"

class MyBevelButton;
class MyTextField;
class PushButtonCancel;
class PushButtonOk;

class DialogWindowText : public DialogWindow
{
    Q_OBJECT
public:
    // The one text dialog, built hidden when there is none.
    static DialogWindowText* instance();

    PushButtonOk* ButtonOk() const;
    PushButtonCancel* ButtonCancel() const;
    QLabel* LabelTitle() const;
    MyTextField* TextFieldText() const;

    bool ButtonOk_MouseDown(PushButtonOk* button, int x, int y);
    void TextFieldText_Open(MyTextField* field);

    // Puts the trimmed text in the field, makes the button the receiver and shows the dialog;
    // returns at once.
    void open(const QString& text, MyBevelButton* caller);

protected:
    void Layout() override;
    void _CreateControls0() override;
    void openControls() override;
    QWidget* firstFocus() const override;

private:
    friend class DialogWindow;
    DialogWindowText() = default;
};
