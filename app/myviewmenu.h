#pragma once

// The menu bar's View menu: shows one button or all three and shrinks or expands the bar. Its
// items are rebuilt before every display from the texts the bar window hands it; a chosen item
// goes back to the bar window through layoutOrSizeChosen, which the start-up connects.

#include <QMenu>
#include <QStringList>

class QAction;

class MyViewMenu : public QMenu
{
    Q_OBJECT
public:
    explicit MyViewMenu(QWidget* parent = nullptr);

    // The item texts in display order, "-" for a separator; set whole by the bar window.
    QStringList menuEntries;

    // The user chose an item: hands its text on; always false (nothing further runs).
    bool Event_Action(QAction* item);
    // The menu is about to show: rebuilds it.
    void Event_EnableMenu();
    // Replaces the items with menuEntries, bringing the size word in line with "windowSize".
    void buildMenu();
    // Whether "windowSize" holds "Min": the bar is stored shrunk to its handle.
    static bool storedMinimised();
    // The size word on offer: "Expand" while the bar is stored shrunk, "Minimize" otherwise.
    static QLatin1StringView sizeWord();

signals:
    // An item's text: a size word, "Show All" or a button name.
    void layoutOrSizeChosen(const QString& text);
};
