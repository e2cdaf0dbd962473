#include "system/ThreadPlacement.h"

namespace corvanel::system {

// Systems without Linux's affinity calls (macOS among them): the scheduler alone places threads.
int CurrentProcessor() {
    return -1;
}

void MoveOffProcessor(int, unsigned) {}

}  // namespace corvanel::system
