#pragma once

// The base of the entry dialogs and the question dialog: a fixed-size, movable window modal to
// the strip, shown without waiting, one instance per dialog class, reached only
// through the class's accessor; it brings Kelvora to the front each time one is built.

#include <QDialog>
#include <QPointer>
#include <QString>

#include <functional>

class PushButtonOk;
class QLabel;
class QPushButton;

class DialogWindow : public QDialog
{
    Q_OBJECT
public:
    // Declared for every dialog; nothing sets or reads it.
    QString defaultString;

    // Runs the bring-to-front script once per build.
    void Event_Open();

    // Whether this instance has been closed; its accessor then builds a fresh one.
    bool isClosed() const { return closed; }

    // Closes every dialog still open without acting on it (the program is quitting) and frees
    // them.
    static void discardAll();

protected:
    DialogWindow();

    // The accessor of a dialog class: the open instance, or a new one built from the design,
    // hidden, with its controls' Open handlers and the window's Open already run.
    template <class Dialog> static Dialog* instanceOf(QPointer<Dialog>& current)
    {
        if (!current || current->isClosed()) {
            current = new Dialog();
            current->build();
        }
        return current;
    }

    // The window's design values shared by every dialog, at the dialog's own size.
    void applyWindowDesign(int width, int height);
    // Controls of the shared design, placed at their design rectangles.
    QLabel* addLabel(const QString& name, const QString& text, const QRect& rect);
    void placeControl(QWidget* control, const QString& name, const QRect& rect);
    void placeButton(QPushButton* button, const QString& name, const QString& caption,
                     const QRect& rect, bool isDefault);
    // The entry dialogs' OK, the default button, disabled until the fields hold valid texts,
    // and Cancel. A press on OK, by mouse or by Return, first runs onPress, which composes the
    // entry line.
    void addOkAndCancel(const QRect& okRect, const QRect& cancelRect,
                        const std::function<void(PushButtonOk*)>& onPress);

    // The building steps, in this order.
    virtual void Layout() = 0;
    void CreateControls();
    virtual void _CreateControls0() = 0;
    // The controls' Open handlers.
    virtual void openControls() {}
    // The control that has the keyboard when the dialog shows.
    virtual QWidget* firstFocus() const { return nullptr; }

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void build();

    bool closed = false;
};
