#pragma once

// A process run and waited for, together with every process it starts: it adopts the orphans
// of its descendants, so whatever they start stays below it, whatever session or process group
// it moves to, and all of it is ended when the process is stopped or Kelvora ends.

#include <sys/types.h>

namespace ProcessTree
{

// Runs in the child between fork and exec, so only system calls: the child becomes the
// subreaper of its descendants and is killed should its parent end first.
void prepareChild(pid_t parent);

// Freezes and kills every descendant of the process, round after round while the process
// itself is held stopped, then kills the process; returns once none of them runs any more (or
// after about two seconds, for one stuck in the kernel).
void end(pid_t top);

// The processes being waited for; those still running when Kelvora exits are ended with it.
void track(pid_t top);
void untrack(pid_t top);

} // namespace ProcessTree
