#pragma once

// The main part of a large document parsed as one tree takes several times the XML's size. Its
// body is instead cut into its top-level blocks (paragraphs, tables, content controls...) by a
// small scanner, and the blocks are parsed a batch at a time, each batch a fragment walked like
// the body's children.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::word {

// Consecutive blocks are parsed together up to about this many bytes: fewer, larger parses.
inline constexpr std::size_t kBodyBatchBytes = std::size_t{1} << 20;

struct BodyBlocks {
    // A run of consecutive top-level children of one body, as bytes of the part.
    struct Batch {
        std::size_t begin = 0;
        std::size_t size = 0;
        // The next node of the body is a paragraph: a paragraph ending the batch may run on
        // into it.
        bool followedByParagraph = false;
    };
    // The part without its bodies' content, except their section properties (sectPr): what the
    // reader looks up outside the blocks. Parsed as the part's document.
    std::string skeleton;
    // Per body element of the document element, in order: its batches.
    std::vector<std::vector<Batch>> bodies;
};

// Finds the blocks of the bodies of a main part. Nothing when the scanner cannot follow the XML
// with certainty (another encoding, a document type declaration, unbalanced tags, deep nesting,
// several root elements...): the part is then parsed whole, as any other part.
std::optional<BodyBlocks> ScanBodyBlocks(std::string_view xml,
                                         std::size_t batchBytes = kBodyBatchBytes);

}  // namespace corvanel::convert::word
