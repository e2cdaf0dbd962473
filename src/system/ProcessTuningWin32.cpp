#include "system/ProcessTuning.h"

namespace corvanel::system {

// The C runtime reads the time zone once (no TZ file to look at again), and Windows' heap keeps
// freed blocks for reuse on its own: nothing to change.
void TuneProcessForConversions() {}

}  // namespace corvanel::system
