#include "platform/processtree.h"

#include <algorithm>
#include <cerrno>
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

// A process's state letter ('R', 'S', 'T' stopped, 'Z' ended...), 0 when it is gone.
char stateOf(pid_t pid)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(pid));
    FILE* stat = std::fopen(path, "re");
    if (!stat)
        return 0;
    char line[1024];
    const bool read = std::fgets(line, sizeof line, stat) != nullptr;
    std::fclose(stat);
    const char* afterName = read ? std::strrchr(line, ')') : nullptr;
    char state = 0;
    return afterName && std::sscanf(afterName + 1, " %c", &state) == 1 ? state : 0;
}

// The children of each thread of the process as the kernel lists them, which takes far less
// time than reading every process; false where the kernel keeps no such list.
bool listedChildren(pid_t pid, std::vector<pid_t>& children)
{
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/task", static_cast<int>(pid));
    DIR* tasks = ::opendir(path);
    if (!tasks)
        return true; // gone
    bool listed = true;
    while (const dirent* task = ::readdir(tasks)) {
        const long thread = std::strtol(task->d_name, nullptr, 10);
        if (thread <= 0)
            continue;
        char threadPath[64];
        std::snprintf(threadPath, sizeof threadPath, "/proc/%d/task/%ld", static_cast<int>(pid),
                      thread);
        char file[96];
        std::snprintf(file, sizeof file, "%s/children", threadPath);
        FILE* list = std::fopen(file, "re");
        if (!list) {
            // No list for a thread that is still there: the kernel keeps none.
            if (errno == ENOENT && ::access(threadPath, F_OK) == 0)
                listed = false;
            continue;
        }
        for (int child = 0; std::fscanf(list, "%d", &child) == 1;)
            children.push_back(static_cast<pid_t>(child));
        std::fclose(list);
    }
    ::closedir(tasks);
    return listed;
}

struct Member {
    pid_t pid;
    char state;
};

// Every running descendant of the process, zombies left out, as they have ended and started
// nothing that is still theirs.
std::vector<Member> descendantsOf(pid_t top)
{
    std::vector<Member> found;
    std::unordered_multimap<pid_t, pid_t> byParent;
    bool listed = true;
    std::vector<pid_t> parents{top};
    while (!parents.empty()) {
        const pid_t parent = parents.back();
        parents.pop_back();
        std::vector<pid_t> children;
        if (listed && !listedChildren(parent, children)) {
            listed = false;
            byParent = childrenByParent();
        }
        if (!listed) {
            children.clear();
            const auto [first, last] = byParent.equal_range(parent);
            for (auto it = first; it != last; ++it)
                children.push_back(it->second);
        }
        for (const pid_t child : children) {
            const char state = stateOf(child);
            if (state == 0 || state == 'Z' || state == 'X')
                continue;
            found.push_back({child, state});
            parents.push_back(child);
        }
    }
    return found;
}

long millisecondsSince(const timespec& start)
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1'000'000;
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
    // The top process holds the tree together: while it lives, the children of a process that
    // ends come to it, and the next round finds them. It is frozen, so that it cannot end by
    // itself and let them go to init, and it goes last. The others are frozen as they are found
    // and killed once all of them have stopped: a stopped process starts nothing, where one
    // killed at once may already have started the next step of a chain.
    constexpr long killAnywayMs = 1000; // one stuck in the kernel never stops
    constexpr long giveUpMs = 2000;
    constexpr timespec pause{0, 200'000};
    timespec start{};
    ::clock_gettime(CLOCK_MONOTONIC, &start);
    ::kill(top, SIGSTOP);
    std::vector<pid_t> frozen;
    while (millisecondsSince(start) < giveUpMs) {
        const std::vector<Member> descendants = descendantsOf(top);
        if (descendants.empty())
            break;
        bool allStopped = true;
        for (const Member& member : descendants) {
            if (std::find(frozen.begin(), frozen.end(), member.pid) == frozen.end()) {
                ::kill(member.pid, SIGSTOP);
                frozen.push_back(member.pid);
                allStopped = false;
            } else if (member.state != 'T' && member.state != 't') {
                allStopped = false;
            }
        }
        if (allStopped || millisecondsSince(start) >= killAnywayMs) {
            for (const Member& member : descendants)
                ::kill(member.pid, SIGKILL);
        }
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
