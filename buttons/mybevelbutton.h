#pragma once

// One entry button of the bar (Bookmarks, Typers or Memos): it owns an entries file, drops
// down that file's lines as its menu, acts on a chosen entry by its kind, and takes dropped
// text, files and folders.

#include <QAction>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QToolButton>
#include <QVariant>

#include <memory>

class QMenu;
class QMimeData;

class MyBevelButton : public QToolButton
{
    Q_OBJECT
public:
    // The control name ("Bookmarks", "Typers", "Memos") decides the kind, the preference keys
    // and the default entries file.
    explicit MyBevelButton(const QString& controlName, QWidget* parent = nullptr);
    ~MyBevelButton() override;

    // The seven handlers; Qt's event overrides only forward to them.
    void Event_Open();
    bool Event_MouseDown(int x, int y);
    void Event_MenuSelected(QAction* item);
    bool Event_DragEnter(const QMimeData* item, int action);
    void Event_DragExit(const QMimeData* item, int action);
    void Event_DropObject(const QMimeData* item, int action);
    void Event_Close();

    // Inserts one entry line (from a dialog's OK button or a text drop) and writes the file.
    void insertMenuItem(const QString& entryLine);

    // Typers: expansion and typing of a chosen entry.
    void doTyper(QAction* item);
    QString typeShortcut(const QString& token);
    QString typeShell(const QString& command);
    QString typePhp(const QString& code);
    QString executePhpFromFile(const QString& code);
    QString typeJavaScript(const QString& code);

    // Whether the Option key was held at the last entry choice or text drop.
    bool isAltKey = false;
};
