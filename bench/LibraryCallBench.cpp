// The cost of one small document through libcorvanel's C call against the converter linked in,
// as corvanel-convert converts in process. Reads the documents' paths from the arguments and
// prints one JSON object: microseconds per document, the best of several rounds each.
//
//     library_call_bench ROUNDS FILE...

#include "convert/Converter.h"
#include "corvanel/corvanel.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Microseconds per document of the best round.
double BestRound(int rounds, const std::vector<std::string>& paths,
                 const std::function<void(const std::string&)>& convert) {
    double best = std::numeric_limits<double>::infinity();
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        for (const std::string& path : paths) {
            convert(path);
        }
        const std::chrono::duration<double, std::micro> took = Clock::now() - start;
        best = std::min(best, took.count() / static_cast<double>(paths.size()));
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ROUNDS FILE...\n", argv[0]);
        return 2;
    }
    const int rounds = std::atoi(argv[1]);
    const std::vector<std::string> paths(argv + 2, argv + argc);
    const auto linkedIn = [](bool facts) {
        return [facts](const std::string& path) {
            std::string text;
            corvanel::convert::ConvertOptions options;
            options.collectFacts = facts;
            corvanel::convert::ExtractText(path, text, options);
        };
    };
    const auto library = [](const std::string& path) {
        corvanel_result* result = nullptr;
        corvanel_convert_file(path.c_str(), nullptr, &result);
        corvanel_result_free(result);
    };
    // Once through first, so every file is in the page cache and the module is loaded.
    BestRound(1, paths, library);
    const double plain = BestRound(rounds, paths, linkedIn(false));
    const double facts = BestRound(rounds, paths, linkedIn(true));
    const double call = BestRound(rounds, paths, library);
    std::printf(
        "{\"documents\": %zu, \"in_process_us\": %.2f, \"in_process_facts_us\": %.2f, "
        "\"library_call_us\": %.2f}\n",
        paths.size(), plain, facts, call);
    return 0;
}
