#include "convert/core/ProcessTuning.h"

#include <cstdlib>
#include <ctime>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace corvanel::convert {

namespace {

#if defined(__GLIBC__)
// Blocks up to this size come from the reusable heap; larger ones (parts of hundreds of
// megabytes) are still mapped on their own and returned at once.
constexpr int kMapAboveBytes = 64 << 20;
// Free memory beyond this at the heap's top goes back to the system.
constexpr int kKeepFreeBytes = 128 << 20;
#endif

}  // namespace

void TuneProcessForConversions() {
#if defined(__GLIBC__)
    if (std::getenv("TZ") == nullptr) {
        setenv("TZ", ":/etc/localtime", 0);
        tzset();
    }
    mallopt(M_MMAP_THRESHOLD, kMapAboveBytes);
    mallopt(M_TRIM_THRESHOLD, kKeepFreeBytes);
#endif
}

}  // namespace corvanel::convert
