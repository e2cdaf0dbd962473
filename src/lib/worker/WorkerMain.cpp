// corvanel-worker: converts the documents a libcorvanel batch sends it, one at a time, answering
// each with its text and facts. Started by the library, never by hand.

#include "system/ProcessTuning.h"
#include "isolation/WorkerProcess.h"
#include "lib/BatchProtocol.h"
#include "lib/Conversion.h"
#include "lib/LibraryOptions.h"
#include "lib/WorkerProgram.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

int main(int argc, char** argv) {
    using namespace corvanel;
    if (argc != 2 || std::strcmp(argv[1], library::kServeArgument) != 0) {
        std::fprintf(stderr,
                     "corvanel-worker: this program serves libcorvanel's batches and is "
                     "started by the library\n");
        return 2;
    }
    system::TuneProcessForConversions();
    return isolation::ServeRequests([](const std::string& frame) -> std::optional<std::string> {
        library::BatchRequest request;
        if (!library::DecodeRequest(frame, request)) {
            return std::nullopt;
        }
        corvanel_result result;
        if (const int status = library::ApplyOutput(request.output, request.options);
            status != CORVANEL_OK) {
            result.status = status;
            result.message = library::OptionsProblem(status);
        } else {
            library::Convert({request.path}, request.options, {}, result);
        }
        return library::EncodeResult(result);
    });
}
