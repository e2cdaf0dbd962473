#include "system/PipeSignal.h"

namespace corvanel::system {

// Windows has no such signal: the write fails with ERROR_NO_DATA.
void BlockPipeSignalInThisThread() {}

}  // namespace corvanel::system
