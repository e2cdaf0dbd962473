#pragma once

// A style sheet holds a few hundred styles of which a document uses a handful, and in small
// documents it is several times the size of the body. Rather than parse it whole, its <style>
// elements are located by a plain text search and each is parsed when first looked up.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace corvanel::convert::ooxml {

struct StyleSpan {
    std::string_view id;    // styleId, as written (never holds entities)
    std::string_view type;  // "paragraph", "character", ...
    bool isDefault = false;
    std::size_t begin = 0;  // the element's bytes in the part
    std::size_t size = 0;
};

// The <style> children of a styles part's root element, in document order. Nothing when the
// text is not laid out plainly enough to be sure of them (another encoding, comments, CDATA,
// a document type, entities in an id, an unclosed element...): the part is then parsed whole.
std::optional<std::vector<StyleSpan>> IndexStyleElements(std::string_view xml);

}  // namespace corvanel::convert::ooxml
