// corvanel-worker: converts the documents a libcorvanel batch sends it, one at a time, answering
// each with its text and facts. Started by the library, never by hand.

#include "isolation/JobWorker.h"
#include "lib/WorkerProgram.h"
#include "system/ProcessTuning.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    using namespace corvanel;
    if (argc != 2 || std::strcmp(argv[1], library::kServeArgument) != 0) {
        std::fprintf(stderr,
                     "corvanel-worker: this program serves libcorvanel's batches and is "
                     "started by the library\n");
        return 2;
    }
    system::TuneProcessForConversions();
    return isolation::ServeJobs();
}
