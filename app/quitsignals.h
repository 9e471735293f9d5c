#pragma once

// SIGTERM, SIGINT and SIGHUP quit Kelvora through App::Quit, so that a logout or a kill saves
// the preferences like the Quit command does.

class App;

// Catches the signals from the first moment on; one that arrives before the application object
// exists waits until installQuitSignalHandlers hands it on.
void catchQuitSignals();
// From now on each signal quits the application as soon as an event loop runs.
void installQuitSignalHandlers(App& app);
