#pragma once

// SIGTERM, SIGINT and SIGHUP quit Kelvora through App::Quit, so that a logout or a kill saves
// the preferences like the Quit command does.

class App;

// Catches the signals from the first moment on; one that arrives before the application object
// exists waits until installQuitSignalHandlers hands it on.
void catchQuitSignals();
// From now on each signal quits the application as soon as an event loop runs.
void installQuitSignalHandlers(App& app);
// Whether a quit signal has arrived. The event loop hands it on only between events: work that
// can hold the main thread for long (building the menu of a long entries file) asks this as it
// goes and stops, so that the quit comes at once.
bool quitSignalPending();
