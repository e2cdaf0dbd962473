// Fuzz target: a style sheet indexed from its text and its styles parsed in place as they are
// looked up. Every span must lie inside the input and every look-up must end.
#include "convert/ooxml/StyleSheetIndex.h"
#include "convert/ooxml/WordStyles.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvanel::convert::ooxml;
    std::string xml(reinterpret_cast<const char*>(data), size);
    const auto spans = IndexStyleElements(xml);
    if (!spans) {
        return 0;
    }
    std::size_t end = 0;
    std::vector<std::string> ids;
    for (const StyleSpan& span : *spans) {
        if (span.begin < end || span.begin > size || span.size > size - span.begin) {
            std::abort();
        }
        end = span.begin + span.size;
        ids.emplace_back(span.id);  // copied: the look-ups below parse the text in place
    }
    WordStyles styles;
    if (!styles.LoadLazily(xml)) {
        std::abort();  // the same text indexed a moment ago
    }
    ids.emplace_back();
    for (const std::string& id : ids) {
        (void)styles.ParagraphNumbering(id);
        (void)styles.Hidden(id);
        (void)styles.OutlineLevel(id);
        (void)styles.StyleToggles(id, !id.empty() && id[0] < 'M');
    }
    return 0;
}
