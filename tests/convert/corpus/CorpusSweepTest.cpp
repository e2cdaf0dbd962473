// Sends every document of the shared corpus through the converter: none may crash or hang, each
// failure must be a clear description, formats with a reader mostly convert, and what the
// documents state about themselves comes out well-formed.

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
#include <set>
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
                ConvertOptions options;
                options.collectFacts = true;
                outcomes[i] = {files[i], LowerExtension(files[i]),
                               ExtractText(files[i], text, options)};
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

// What every converted document reports: a known format name; dates in ISO 8601, counts as
// decimal numbers, text without surrounding white space.
void ExpectWellFormedFacts(const Outcome& o) {
    static const std::set<std::string> kFormats = {
        "docx",         "docm",        "dotx",        "dotm",         "flat-opc",  "doc",
        "word6",        "rtf",         "odt",         "ott",          "fodt",      "wordml",
        "html",         "mht",         "text",        "wordperfect",  "works",     "write",
        "word-dos",     "xywrite",     "pocket-word", "mac-word",     "mac-works", "macwrite",
        "macwrite-pro", "clarisworks", "writenow",    "nisus-writer", "mac-text"};
    // "9999-99-99", then optionally "T99:99:99", then optionally "Z" or "+99:99".
    auto matches = [](const std::string& value, std::string_view shape) {
        return value.size() == shape.size() &&
               std::equal(value.begin(), value.end(), shape.begin(), [](char v, char s) {
                   return s == '9'   ? std::isdigit(static_cast<unsigned char>(v)) != 0
                          : s == '+' ? v == '+' || v == '-'
                                     : v == s;
               });
    };
    auto isDate = [&](const std::string& value) {
        for (std::string_view shape : {"9999-99-99", "9999-99-99T99:99:99", "9999-99-99T99:99:99Z",
                                       "9999-99-99T99:99:99+99:99"}) {
            if (matches(value, shape)) {
                return true;
            }
        }
        return false;
    };
    auto isCount = [](const std::string& value) {
        return !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
    };
    const DocumentFacts& facts = o.result.facts;
    EXPECT_EQ(kFormats.count(facts.format), 1u) << o.path << ": format " << facts.format;
    for (const auto& [property, value] : facts.properties) {
        switch (property) {
            case DocumentProperty::kCreated:
            case DocumentProperty::kModified:
                EXPECT_TRUE(isDate(value)) << o.path << ": " << value;
                break;
            case DocumentProperty::kPages:
            case DocumentProperty::kWords:
                EXPECT_TRUE(isCount(value)) << o.path << ": " << value;
                break;
            default:
                EXPECT_FALSE(value.empty() ||
                             std::isspace(static_cast<unsigned char>(value.front())) ||
                             std::isspace(static_cast<unsigned char>(value.back())))
                    << o.path << ": \"" << value << '"';
        }
    }
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
            ExpectWellFormedFacts(o);
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

// Documents whose properties were read with other tools (unzip, a property-set dump).
TEST(CorpusSweep, StatedPropertiesOfRealDocuments) {
    const fs::path folder = fs::path(CORVANEL_CORPUS_DIR) / "documents";
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "no corpus at " << folder;
    }
    using P = DocumentProperty;
    struct Case {
        const char* path;
        const char* format;
        std::map<DocumentProperty, std::string> expected;
    };
    const std::vector<Case> cases = {
        {"poi/60329.docx",
         "docx",
         {{P::kTitle, "Study Design"},
          {P::kAuthor, "Mark Murphy"},
          {P::kCreated, "2016-11-29T03:47:00Z"},
          {P::kModified, "2016-11-29T03:47:00Z"},
          {P::kPages, "3"},
          {P::kWords, "701"}}},
        {"poi/SimpleMacro.docm",
         "docm",
         {{P::kAuthor, "Javen ONeal"},
          {P::kCreated, "2016-04-11T02:14:00Z"},
          {P::kModified, "2016-04-11T02:20:00Z"},
          {P::kPages, "1"},
          {P::kWords, "6"}}},
        {"poi/60316.dotx",
         "dotx",
         {{P::kCreated, "2012-03-05T18:57:00Z"},
          {P::kModified, "2012-03-27T03:17:00Z"},
          {P::kPages, "1"},
          {P::kWords, "117"}}},
        // Cyrillic in the set's code page 1251.
        {"poi/52420.doc",
         "doc",
         {{P::kTitle, "Міністэрства адукацыі Рэспублікі Беларусь"},
          {P::kAuthor, "Кудрицкая"},
          {P::kCreated, "2011-11-25T11:19:00Z"},
          {P::kModified, "2012-09-28T12:52:00Z"},
          {P::kPages, "1"},
          {P::kWords, "203"}}},
        {"poi/52117.doc",
         "word6",
         {{P::kTitle, "Document 6.1"},
          {P::kAuthor, "Author 6.1"},
          {P::kCreated, "2010-03-23T17:07:00Z"},
          {P::kModified, "2010-03-23T17:19:00Z"}}},
        {"pandoc/bold.odt",
         "odt",
         {{P::kAuthor, "Martin Linnemann"},
          {P::kCreated, "2015-03-01T17:26:12"},
          {P::kModified, "2015-03-01T17:52:11"},
          {P::kPages, "1"},
          {P::kWords, "4"}}},
        {"pandoc/list_complex.rtf",
         "rtf",
         {{P::kTitle, "Text before list"},
          {P::kAuthor, "Cynthia Johnson"},
          {P::kCreated, "2003-10-13T19:55:00"},
          {P::kModified, "2021-08-09T10:28:00"},
          {P::kPages, "1"},
          {P::kWords, "15"}}},
    };
    for (const Case& c : cases) {
        std::string text;
        ConvertOptions options;
        options.collectFacts = true;
        const ConversionResult result = ExtractText((folder / c.path).string(), text, options);
        EXPECT_TRUE(result.Ok()) << c.path << ": " << result.description;
        EXPECT_EQ(result.facts.format, c.format) << c.path;
        EXPECT_EQ(result.facts.properties, c.expected) << c.path;
    }
}

}  // namespace
}  // namespace corvanel::convert
