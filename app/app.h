#pragma once

// The application object: owns the platform seam, the preferences store and the measured
// menu-bar height, runs the start-up question and saves the store once at quit.

#include "app/bundleresources.h"
#include "app/preferences.h"
#include "platform/platform.h"

#include <QApplication>
#include <QByteArray>
#include <QHash>
#include <QPointer>
#include <QRgb>

#include <functional>
#include <memory>

class MyViewMenu;
class QMenuBar;

class App : public QApplication
{
    Q_OBJECT
public:
    App(int& argc, char** argv, std::unique_ptr<Platform> platform);
    ~App() override;

    // The running application object.
    static App* instance();

    Platform& platform() { return *platformSeam; }
    PreferencesModule::Preferences& Preferences() { return *preferencesStore; }

    // The bundle's scripts, sounds and pictures (Contents/Resources beside the executable's
    // folder, unless a test points it elsewhere before first use).
    BundleResources& resources();
    void setResourcesFolder(const QString& folder);
    // The icon of Kelvora's windows and of its tray icon: the handle's picture.
    QIcon applicationIcon();
    // The strip's background colour.
    static constexpr QRgb stripColour = qRgb(252, 248, 255);

    // How far the main screen's work area begins below its top edge (the panels along the top;
    // a panel at the bottom does not count), measured at Open: the strip's smallest top edge.
    qint64 MenubarHeight = 0;

    // Start-up: creates the store, measures the menu bar and asks the login-item question when
    // "initDate" is missing or more than 30 days old.
    void Event_Open();
    // Quit: saves the store (once, after every window has closed); reports a failed save.
    bool Event_Close();
    // Whether the login-item question is due for a stored "initDate" at the time now.
    static bool shouldAsk(const QVariant& initDate, double now);
    void makeStartupItem();

    // The Support menu's handlers, bound by item name at start-up; each returns false.
    bool _SupportWhatIliked_Action();
    bool _SupportMySuggestions_Action();
    bool _SupportProblemsIhad_Action();
    bool _SupportCheckforUpdate_Action();
    bool _SupportSite_Action();
    // Binds the five handlers to their Support menu item names.
    void registerSupportHandlers();
    // The decimal number at the start of a text, 0 when it does not start with one.
    static double leadingNumber(const QString& text);

    // Creates or replaces a file with the bytes (FolderItemModule::replaceFile), through a link
    // to its target: a failure leaves the old file whole and puts the reason into *error.
    bool writeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

    // The menu bar (Edit, View, Support), given at start-up before the bar window exists.
    void setMenuBar(QMenuBar* menuBar);
    // The menu bar's View menu, found by its name "ViewMenu"; nullptr without a menu bar.
    MyViewMenu* ViewMenu() const;

    // Menu handlers bound by item name at start-up.
    void registerMenuHandler(const QString& itemName, std::function<bool()> handler);
    bool runMenuHandler(const QString& itemName);

    // Who asked to quit: the user (the Quit command, closing the strip), who then reads a report
    // of a failed save before the program ends, or the session (a signal, the display gone),
    // which waits for nobody.
    enum class QuitBy { User, Session };
    // The Quit command: closes every window (each stores its state), then ends the event loop,
    // also from inside a nested loop; a quit asked for before the main loop runs keeps it from
    // starting. Asked again while quitting, it ends whatever loop runs then.
    void Quit(QuitBy by = QuitBy::User);
    bool isQuitting() const { return quitting; }
    bool quitByUser() const { return quitting && !quitBySession; }

    bool notify(QObject* receiver, QEvent* event) override;

signals:
    // A question for the question dialog: its label and whether No is offered.
    void questionAsked(const QString& label, bool showNo);

private:
    std::unique_ptr<Platform> platformSeam;
    std::unique_ptr<PreferencesModule::Preferences> preferencesStore;
    std::unique_ptr<BundleResources> bundleResources;
    QHash<QString, std::function<bool()>> menuHandlers;
    QPointer<QMenuBar> applicationMenuBar;
    bool quitting = false;
    bool quitBySession = false;
};
