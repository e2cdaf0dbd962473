// Fuzz target: the Markdown writer driven by any balanced stream of events decoded from the
// input. What it writes must render (cmark-gfm) to the words the plain-text writer gives for the
// same events.
#include "MarkdownEventScript.h"
#include "MarkdownRendering.h"

#include "convert/plaintext/PlainTextWriter.h"
#include "convert/markdown/MarkdownWriter.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvanel::convert;
    const testing::MarkdownEventScript script(data, size);
    MarkdownWriter markdown;
    script.Play(markdown, false);
    PlainTextWriter text;
    script.Play(text, true);
    const std::string rendered = testing::RenderedText(markdown.Text());
    std::string why;
    if (!testing::SameWords(text.Text(), rendered, script.Marks(), &why)) {
        std::fprintf(stderr, "Markdown:\n%s\nText:\n%s\nDifference:%s\n", markdown.Text().c_str(),
                     text.Text().c_str(), why.c_str());
        std::abort();
    }
    return 0;
}
