// Every document of the shared corpus that converts to text converts to Markdown, and a real GFM
// reader (cmark-gfm) gives back the text's words from that Markdown, apart from list labels that
// a list marker stands for and note marks it shows in its own way.
#include "MarkdownRendering.h"

#include "convert/Converter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

namespace corvanel::convert {
namespace {

namespace fs = std::filesystem;

// A word a list marker stands for: a plain number ("3", "3.", "12)") or a bullet (no letter or
// digit in it, or the "o" of a Courier bullet).
bool LabelLike(const std::string& word) {
    std::string digits = word;
    if (!digits.empty() && (digits.back() == '.' || digits.back() == ')')) {
        digits.pop_back();
    }
    if (!digits.empty() && digits.size() <= 9 &&
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return true;
    }
    return word == "o" || (word.size() <= 4 && std::none_of(word.begin(), word.end(), [](char c) {
                               return std::isalnum(static_cast<unsigned char>(c)) != 0;
                           }));
}

// The words of the text that rendering left out and that are not list labels, and the words
// that rendering added.
std::string Difference(const std::string& text, const std::string& rendered) {
    std::multiset<std::string> missing;
    for (std::string& word : testing::Words(text)) {
        missing.insert(std::move(word));
    }
    std::string added;
    for (const std::string& word : testing::Words(rendered)) {
        const auto it = missing.find(word);
        if (it != missing.end()) {
            missing.erase(it);
        } else {
            added += " +" + word;
        }
    }
    std::string lost;
    for (const std::string& word : missing) {
        if (!LabelLike(word)) {
            lost += " -" + word;
        }
    }
    return lost + added;
}

TEST(MarkdownRoundTrip, CorpusDocumentsGiveBackTheirText) {
    const fs::path folder = fs::path(CORVANEL_CORPUS_DIR) / "documents";
    if (!fs::is_directory(folder)) {
        GTEST_SKIP() << "no corpus at " << folder << ": the round trip is not checked";
    }
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> checked{0};
    std::mutex mutex;
    std::vector<std::string> failures;
    const auto work = [&] {
        for (std::size_t i; (i = next++) < files.size();) {
            std::string text, markdown;
            ConvertOptions options;
            options.newline = "\n";
            if (!ExtractText(files[i], text, options).Ok()) {
                continue;
            }
            options.output = OutputKind::kMarkdown;
            const ConversionResult result = ExtractText(files[i], markdown, options);
            std::string problem = result.Ok() ? Difference(text, testing::RenderedText(markdown))
                                              : " no Markdown: " + result.description;
            ++checked;
            if (!problem.empty()) {
                std::lock_guard lock(mutex);
                failures.push_back(files[i] + ":" + problem.substr(0, 400));
            }
        }
    };
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < std::max(2u, std::thread::hardware_concurrency()); ++t) {
        threads.emplace_back(work);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::sort(failures.begin(), failures.end());
    std::string report;
    for (const std::string& failure : failures) {
        report += failure + "\n";
    }
    EXPECT_GT(checked.load(), files.size() / 2);
    EXPECT_TRUE(failures.empty()) << failures.size() << " of " << checked.load() << " documents:\n"
                                  << report;
}

}  // namespace
}  // namespace corvanel::convert
