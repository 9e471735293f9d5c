#pragma once

// SIGTERM, SIGINT and SIGHUP quit Kelvora through App::Quit, so that a logout or a kill saves
// the preferences like the Quit command does.

class App;

void installQuitSignalHandlers(App& app);
