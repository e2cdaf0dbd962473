#pragma once

// The body of a large main part, read a batch of top-level blocks (paragraphs, tables, content
// controls...) at a time (ContainerBlocks).

#include "convert/core/ContainerBlocks.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace corvanel::convert {

namespace ooxml {

inline constexpr std::size_t kBodyBatchBytes = kBlockBatchBytes;

// The blocks of a main part's bodies (the body elements of the document element); the skeleton
// keeps their section properties (sectPr).
struct BodyBlocks : ContainerBlocks {};

std::optional<BodyBlocks> ScanBodyBlocks(std::string_view xml,
                                         std::size_t batchBytes = kBodyBatchBytes);

// Main parts larger than this many bytes are read in batches of about this size (and so are
// the rows of a body table larger than it).
std::size_t BodyBatchBytes();
// Tests and fuzzing lower the batch size so that small documents are read in batches too, or
// raise it so that large ones are parsed whole; 0 restores the default.
void SetBodyBatchBytesForTesting(std::size_t bytes);

}  // namespace ooxml

}  // namespace corvanel::convert
