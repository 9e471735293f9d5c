#pragma once

// The bookmark dialog: splits a copied or dropped text into an address and a title and, when
// the user confirms, hands "title TAB address" to the bar's Bookmarks button.

#include "dialogs/dialogwindow.h"

class MyBevelButton;
class MyTextField;
class PushButtonCancel;
class PushButtonOk;

class DialogWindowBookmark : public DialogWindow
{
    Q_OBJECT
public:
    // The one bookmark dialog, built hidden when there is none.
    static DialogWindowBookmark* instance();

    PushButtonOk* ButtonOk() const;
    PushButtonCancel* ButtonCancel() const;
    QLabel* LabelUrl() const;
    MyTextField* TextFieldUrl() const;
    QLabel* LabelTitle() const;
    MyTextField* TextFieldTitle() const;

    void TextFieldUrl_Open(MyTextField* field);
    void TextFieldTitle_Open(MyTextField* field);
    bool ButtonOk_MouseDown(PushButtonOk* button, int x, int y);
    void Event_Close() {}

    // Fills the fields from the text, makes the bar's Bookmarks button the receiver and shows
    // the dialog; returns at once.
    void open(const QString& text);

    // The address and the title that a text splits into.
    struct Split {
        QString url;
        QString title;
    };
    static Split split(const QString& text);

protected:
    void Layout() override;
    void _CreateControls0() override;
    void openControls() override;
    QWidget* firstFocus() const override;

private:
    friend class DialogWindow;
    DialogWindowBookmark() = default;
};
