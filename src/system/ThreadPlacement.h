#pragma once

// Spreading the worker threads of a run over the processors: the scheduler's affinity calls on
// Linux (ThreadPlacementLinux.cpp); Windows places new threads itself (ThreadPlacementWin32.cpp);
// elsewhere the scheduler alone does (ThreadPlacementOther.cpp).

namespace corvanel::system {

// The processor the calling thread runs on, or -1 where that cannot be told.
int CurrentProcessor();

// Moves the calling thread onto one of the processors it may use other than `busy` (the
// `index`-th of them, round the list), then lets it use all of them again. A thread woken or
// created by another one is often queued behind it on the same processor, and on machines
// whose processors share no cache the scheduler can take tens of milliseconds to notice an
// idle one: long enough to cost a short batch a good part of its second thread. Does nothing
// where the platform has no such call or only one processor is allowed.
void MoveOffProcessor(int busy, unsigned index);

}  // namespace corvanel::system
