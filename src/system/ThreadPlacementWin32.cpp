#include "system/ThreadPlacement.h"

#include <windows.h>

namespace corvanel::system {

int CurrentProcessor() {
    return static_cast<int>(::GetCurrentProcessorNumber());
}

// Windows gives the threads of a process ideal processors in turn as they are created, and its
// scheduler starts a thread on its ideal processor when that one is idle: new threads do not
// queue behind their creator, so nothing is moved.
void MoveOffProcessor(int, unsigned) {}

}  // namespace corvanel::system
