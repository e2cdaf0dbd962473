// Fuzz target: the Markdown writer driven by any balanced stream of events decoded from the
// input. What it writes must render (cmark-gfm) to the words the plain-text writer gives for the
// same events.
#include "MarkdownEventScript.h"
#include "MarkdownRendering.h"

#include "convert/core/ContractCheck.h"
#include "convert/markdown/MarkdownWriter.h"
#include "convert/plaintext/PlainTextWriter.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvanel::convert;
    const testing::MarkdownEventScript script(data, size);
    // The script keeps the events' order by construction: the checks hold it to that.
    MarkdownWriter markdown;
    ContractCheck checkedMarkdown(markdown);
    script.Play(checkedMarkdown, false);
    PlainTextWriter text;
    ContractCheck checkedText(text);
    script.Play(checkedText, true);
    const std::string rendered = testing::RenderedText(markdown.Text());
    std::string why;
    if (!testing::SameWords(text.Text(), rendered, script.Marks(), &why)) {
        std::fprintf(stderr, "Markdown:\n%s\nText:\n%s\nDifference:%s\n", markdown.Text().c_str(),
                     text.Text().c_str(), why.c_str());
        std::abort();
    }
    return 0;
}
