// Sends every document of the shared corpus through the converter: none may crash or hang, each
// failure must be a clear description, and formats with a reader mostly convert.

#include "convert/Converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace corvanel::convert {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// One document may take this long, even under the sanitizers; beyond it the sweep counts as hung.
constexpr auto kPerFileLimit = std::chrono::seconds(30);

struct Outcome {
    std::string path;
    std::string extension;
    ConversionResult result;
};

std::vector<std::string> CorpusFiles(const fs::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string LowerExtension(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext.empty() ? "(none)" : ext.substr(1);
}

// Converts every file on a few threads while a watchdog ends the process when one document
// runs past the limit (a hang must fail the test, not stall it).
std::vector<Outcome> ConvertAll(const std::vector<std::string>& files) {
    std::vector<Outcome> outcomes(files.size());
    const unsigned threads = std::max(2u, std::thread::hardware_concurrency());
    std::atomic<size_t> next{0};
    std::mutex mutex;
    std::vector<std::pair<size_t, Clock::time_point>> running(threads, {SIZE_MAX, {}});
    std::atomic<bool> finished{false};

    std::thread watchdog([&] {
        while (!finished) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            std::lock_guard lock(mutex);
            for (const auto& [index, since] : running) {
                if (index != SIZE_MAX && Clock::now() - since > kPerFileLimit) {
                    std::fprintf(stderr, "corpus sweep: %s did not finish within %lld s\n",
                                 files[index].c_str(),
                                 static_cast<long long>(kPerFileLimit.count()));
                    std::fflush(stderr);
                    std::_Exit(3);
                }
            }
        }
    });
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t) {
        pool.emplace_back([&, t] {
            for (size_t i = next++; i < files.size(); i = next++) {
                {
                    std::lock_guard lock(mutex);
                    running[t] = {i, Clock::now()};
                }
                std::string text;
                outcomes[i] = {files[i], LowerExtension(files[i]), ExtractText(files[i], text)};
                std::lock_guard lock(mutex);
                running[t] = {SIZE_MAX, {}};
            }
        });
    }
    for (std::thread& thread : pool) {
        thread.join();
    }
    finished = true;
    watchdog.join();
    return outcomes;
}

bool IsPlaceholderFailure(const ConversionResult& r) {
    return r.description.find("not supported yet") != std::string::npos;
}

TEST(CorpusSweep, EveryDocumentConvertsOrFailsWithAClearDescription) {
    const fs::path folder = fs::path(CORVANEL_CORPUS_DIR) / "documents";
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "no corpus at " << folder;
    }
    const std::vector<Outcome> outcomes = ConvertAll(CorpusFiles(folder));

    struct Tally {
        int converted = 0;
        int failed = 0;
        bool placeholder = false;
        std::map<std::string, int> reasons;
    };
    std::map<std::string, Tally> byFormat;
    for (const Outcome& o : outcomes) {
        Tally& tally = byFormat[o.extension];
        if (o.result.Ok()) {
            ++tally.converted;
            continue;
        }
        ++tally.failed;
        tally.placeholder = tally.placeholder || IsPlaceholderFailure(o.result);
        ++tally.reasons[std::to_string(o.result.Number())];
        EXPECT_FALSE(o.result.description.empty()) << o.path;
        EXPECT_NE(o.result.description.find(o.path), std::string::npos)
            << "the description does not name the file: " << o.result.description;
        EXPECT_GE(o.result.Number(), static_cast<int>(ErrorCode::kCannotOpen)) << o.path;
        EXPECT_LT(o.result.Number(), static_cast<int>(ErrorCode::kInternal))
            << "internal error (a fault of the converter): " << o.result.description;
    }

    std::printf("%-8s %9s %7s  failure numbers\n", "format", "converted", "failed");
    for (const auto& [format, tally] : byFormat) {
        std::string reasons;
        for (const auto& [number, count] : tally.reasons) {
            reasons += number + "x" + std::to_string(count) + " ";
        }
        std::printf("%-8s %9d %7d  %s%s\n", format.c_str(), tally.converted, tally.failed,
                    reasons.c_str(),
                    tally.placeholder || tally.converted == 0 ? "(no reader yet)" : "");
        if (!tally.placeholder && tally.converted > 0) {
            // A format whose reader exists: some corpus documents are deliberately broken, but
            // most must convert.
            EXPECT_GE(tally.converted, 3 * tally.failed) << "format " << format;
        }
    }
}

}  // namespace
}  // namespace corvanel::convert
