#pragma once

#include <cstddef>
#include <cstdint>

namespace corvanel::convert::limits {

// Safety limits for untrusted documents. Every size and count read from a file is checked
// against these before it is used.
inline constexpr std::uint64_t kMaxSourceFileBytes = 1ull << 30;     // 1 GiB on disk
inline constexpr std::uint64_t kMaxPartBytes = 512ull << 20;         // one decompressed part
inline constexpr std::uint64_t kMaxTotalInflatedBytes = 1ull << 30;  // all parts of one document
// A part that inflates more than this many times its compressed size is treated as a zip bomb
// once it has grown past kBombCheckThreshold.
inline constexpr std::uint64_t kMaxCompressionRatio = 200;
inline constexpr std::uint64_t kBombCheckThreshold = 16ull << 20;
inline constexpr int kMaxNestingDepth = 512;  // elements, groups, tables within tables
inline constexpr std::size_t kMaxOutputBytes = 1ull << 30;

}  // namespace corvanel::convert::limits
