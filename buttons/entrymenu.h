#pragma once

// The drop-down menu of an entry button. It shows every item's text as written (an ampersand
// in an entry is a character, not a keyboard mnemonic) and every separator, also several in a
// row. It opens beside the strip, never on it: a menu taller than the room there is one column
// that scrolls.

#include <QMenu>

class EntryMenu : public QMenu
{
    Q_OBJECT
public:
    explicit EntryMenu(QWidget* parent = nullptr);

    // Makes a text Qt draws show as written: each ampersand doubled, so that none becomes a
    // keyboard mnemonic.
    static void showAsWritten(QString& text);
    // A text as an item, a caption or a tooltip shows it: its first thousand characters and an
    // ellipsis when it is longer. Qt lays a text out whole, so a line of megabytes (a file with
    // few line ends dropped by mistake) would take seconds to show.
    static QString bounded(const QString& text);

    QSize sizeHint() const override;
    void setVisible(bool visible) override;

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override;
    void mousePressEvent(QMouseEvent* event) override;
    // Moves and releases in line with the column outside the menu reach Qt as from beside it.
    bool event(QEvent* event) override;

private:
    // Where the menu, as high as given, lies when it drops from its button: under the button's
    // window, or over it when it does not fit under it and there is more room over it, within
    // the screen's work area, and no higher than the room there.
    QRect placeBesideStrip(int height) const;
    // Whether the pointer is above or below the menu, in line with its column: on the strip
    // beside it, or past the screen's edge.
    bool inLineOutside(const QMouseEvent* event) const;
};
