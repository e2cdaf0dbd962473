// An older formats' module as a build of the previous interface made it: its entry point takes
// the sink through slots that no longer match, so it must never be called.
#include <cstdlib>

#ifdef _WIN32
#define EXPORTED __declspec(dllexport)
#else
#define EXPORTED __attribute__((visibility("default")))
#endif

extern "C" EXPORTED void corvanel_revenge_read_1() {
    std::abort();
}
