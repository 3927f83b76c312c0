#pragma once

#include <sched.h>

// Puts this process on the real-time scheduler, where that is permitted, so
// that a recorder is served in time on a machine the player fills: a starved
// recorder loses samples (PipeWire's pulse server drops what it has not taken
// in time: 0.1 to 1.7 % of them), and the recording's timing with them.
// Threads and children started after inherit it, unless `childrenToo` is
// false, when children run as usual. False where it is not permitted.
inline bool runAheadOfOthers(bool childrenToo) {
    sched_param priority{};
    priority.sched_priority = 20;
    return sched_setscheduler(0, SCHED_FIFO | (childrenToo ? 0 : SCHED_RESET_ON_FORK), &priority) == 0;
}
