#include "system/ThreadPlacement.h"

#include <sched.h>

#include <vector>

namespace corvanel::system {

int CurrentProcessor() {
    return sched_getcpu();
}

void MoveOffProcessor(int busy, unsigned index) {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) {
        return;
    }
    std::vector<int> others;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &allowed) && cpu != busy) {
            others.push_back(cpu);
        }
    }
    if (others.empty() || CPU_COUNT(&allowed) < 2) {
        return;
    }
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(others[index % others.size()], &one);
    // Moving is done when the call returns; the thread then stays there unless the
    // scheduler finds a reason to move it.
    if (sched_setaffinity(0, sizeof one, &one) == 0) {
        sched_setaffinity(0, sizeof allowed, &allowed);
    }
}

}  // namespace corvanel::system
