#pragma once

// Temporary files that may hold what the user would not leave lying around (the clipboard's
// text, a snippet's code). A QTemporaryFile removes its file when it goes, but Qt ends through
// exit() when the display goes away, and then no destructor runs: these are removed then too.

class QTemporaryFile;

namespace TemporaryFiles
{

// The file, once open, is removed should Kelvora end through exit() while the object lives.
void removeAtExit(const QTemporaryFile& file);

} // namespace TemporaryFiles
