#include "platform/temporaryfiles.h"

#include <QFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace TemporaryFiles
{

namespace
{

// Plain strings, so that the exit handler needs nothing of Qt, which may be ending already.
std::vector<std::string> living;

extern "C" void removeLivingAtExit()
{
    for (const std::string& path : living)
        ::unlink(path.c_str());
    living.clear();
}

} // namespace

void removeAtExit(const QTemporaryFile& file)
{
    static const bool registered = std::atexit(removeLivingAtExit) == 0;
    (void)registered;
    std::string path = QFile::encodeName(file.fileName()).toStdString();
    living.push_back(path);
    QObject::connect(&file, &QObject::destroyed, [path = std::move(path)] {
        living.erase(std::remove(living.begin(), living.end(), path), living.end());
    });
}

} // namespace TemporaryFiles
