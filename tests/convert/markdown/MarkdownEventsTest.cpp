// Random but reproducible event streams through the Markdown writer (the fuzz target's check,
// on a fixed set of inputs): rendered, the Markdown gives back the plain text's words.
#include "MarkdownEventScript.h"
#include "MarkdownRendering.h"
#include "StructureLog.h"

#include "convert/markdown/MarkdownWriter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include <gtest/gtest.h>

#include <random>

namespace corvanel::convert {
namespace {

TEST(MarkdownEvents, RenderedMarkdownGivesBackTheTextsWords) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> bytes(16 + round % 240);
        for (auto& b : bytes) {
            b = static_cast<std::uint8_t>(random());
        }
        const testing::MarkdownEventScript script(bytes.data(), bytes.size());
        MarkdownWriter markdown;
        script.Play(markdown, false);
        PlainTextWriter text;
        script.Play(text, true);
        std::string why;
        testing::StructureLog log;
        script.Play(log, false);
        ASSERT_TRUE(testing::SameWords(text.Text(), testing::RenderedText(markdown.Text()),
                                       script.Marks(), &why))
            << "round " << round << ":" << why << "\nMarkdown:\n"
            << markdown.Text() << "\nText:\n"
            << text.Text() << "\nEvents:\n"
            << log.Lines();
    }
}

}  // namespace
}  // namespace corvanel::convert
