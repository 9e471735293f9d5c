#include "platform/processtree.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <sys/prctl.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace ProcessTree
{

namespace
{

std::vector<pid_t> running;

// The parent of every running process, read from /proc; zombies are left out, as they have
// ended and started nothing that is still theirs.
std::unordered_multimap<pid_t, pid_t> childrenByParent()
{
    std::unordered_multimap<pid_t, pid_t> children;
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return children;
    while (const dirent* entry = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0')
            continue;
        char path[64];
        std::snprintf(path, sizeof path, "/proc/%ld/stat", pid);
        FILE* stat = std::fopen(path, "re");
        if (!stat)
            continue;
        char line[1024];
        const bool read = std::fgets(line, sizeof line, stat) != nullptr;
        std::fclose(stat);
        // "pid (name) state ppid ...": the name may hold blanks and parentheses itself.
        const char* afterName = read ? std::strrchr(line, ')') : nullptr;
        char state = 0;
        int parent = 0;
        if (afterName && std::sscanf(afterName + 1, " %c %d", &state, &parent) == 2 &&
            state != 'Z' && state != 'X')
            children.emplace(parent, static_cast<pid_t>(pid));
    }
    ::closedir(proc);
    return children;
}

std::vector<pid_t> descendantsOf(pid_t top)
{
    const auto children = childrenByParent();
    std::vector<pid_t> found;
    std::vector<pid_t> parents{top};
    while (!parents.empty()) {
        const pid_t parent = parents.back();
        parents.pop_back();
        const auto [first, last] = children.equal_range(parent);
        for (auto it = first; it != last; ++it) {
            found.push_back(it->second);
            parents.push_back(it->second);
        }
    }
    return found;
}

extern "C" void endRunningAtExit()
{
    for (const pid_t top : std::vector<pid_t>(running))
        end(top);
}

} // namespace

void prepareChild(pid_t parent)
{
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // The parent may have gone before the line above: then nothing would kill the child.
    if (::getppid() != parent)
        ::_exit(127);
}

void end(pid_t top)
{
    // The top process holds the tree together: while it lives, the children of a killed
    // process come to it, and the next round finds them. So it goes last.
    constexpr int rounds = 500;
    constexpr timespec pause{0, 2'000'000};
    for (int round = 0; round < rounds; ++round) {
        const std::vector<pid_t> descendants = descendantsOf(top);
        if (descendants.empty())
            break;
        for (const pid_t pid : descendants)
            ::kill(pid, SIGKILL);
        ::nanosleep(&pause, nullptr);
    }
    ::kill(-top, SIGKILL);
    ::kill(top, SIGKILL);
}

void track(pid_t top)
{
    static const bool registered = std::atexit(endRunningAtExit) == 0;
    (void)registered;
    running.push_back(top);
}

void untrack(pid_t top)
{
    running.erase(std::remove(running.begin(), running.end(), top), running.end());
}

} // namespace ProcessTree
