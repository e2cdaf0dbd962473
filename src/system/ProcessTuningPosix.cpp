#include "system/ProcessTuning.h"

#include <cstdlib>
#include <ctime>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace corvanel::system {

#if defined(__GLIBC__)
namespace {

// Blocks up to this size (parse trees' pages, most parts) come from the reusable heap; larger
// ones (the parts and texts of very large documents) are mapped on their own and returned at
// once, so they neither linger nor split the heap.
constexpr int kMapAboveBytes = 4 << 20;
// Free memory beyond this at the heap's top goes back to the system.
constexpr int kKeepFreeBytes = 32 << 20;

}  // namespace
#endif

void TuneProcessForConversions() {
    if (std::getenv("TZ") == nullptr) {
        setenv("TZ", ":/etc/localtime", 0);
        tzset();
    }
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kMapAboveBytes);
    mallopt(M_TRIM_THRESHOLD, kKeepFreeBytes);
#endif
}

}  // namespace corvanel::system
