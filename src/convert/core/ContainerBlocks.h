#pragma once

// A large XML part parsed as one tree takes several times the XML's size. Its containers (the
// body of a Word document, the text of an OpenDocument one) are instead cut into their
// top-level blocks (paragraphs, tables...) by a small scanner, and the blocks are parsed a batch
// at a time, each batch a fragment walked like the container's children.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert {

// Consecutive blocks are parsed together up to about this many bytes: fewer, larger parses.
inline constexpr std::size_t kBlockBatchBytes = std::size_t{1} << 20;

// Where the blocks are: the local names of the elements from below the root element down to
// the container whose children are the blocks (none: the root element's own children).
struct BlockLayout {
    std::vector<std::string_view> containerPath;
    // Blocks of this local name are also kept in the skeleton (empty: none).
    std::string_view keptInSkeleton;
};

struct ContainerBlocks {
    // A run of consecutive children of one container, as bytes of the part.
    struct Batch {
        std::size_t begin = 0;
        std::size_t size = 0;
    };
    // The part without its containers' content, except the blocks kept in it: what the reader
    // looks up outside the blocks. Parsed as the part's document.
    std::string skeleton;
    // Per container element, in document order: its batches.
    std::vector<std::vector<Batch>> bodies;
};

// Finds the blocks of the containers of a part. Nothing when the scanner cannot follow the XML
// with certainty (another encoding, a document type declaration, unbalanced tags, deep nesting,
// several root elements...): the part is then parsed whole, as any other part.
std::optional<ContainerBlocks> ScanContainerBlocks(std::string_view xml, const BlockLayout& layout,
                                                   std::size_t batchBytes = kBlockBatchBytes);

}  // namespace corvanel::convert
