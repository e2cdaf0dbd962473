#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace corvanel::convert::testing {

// Builds a compound file (512-byte sectors, one allocation table) holding the given streams at
// its root, in order. Streams shorter than the mini-stream cutoff are padded with zero bytes to
// it, so every stream lives in ordinary sectors.
std::string MakeCompoundFile(const std::vector<std::pair<std::string, std::string>>& streams);

// Builds a compound file whose streams are scattered: streams shorter than the mini-stream
// cutoff go to the mini stream, the others (and the mini stream) to ordinary sectors, and the
// sectors of all are dealt out in turns of `run` sectors each, so every chain of more than
// `run` sectors jumps. The directory, the mini allocation table and the allocation table follow.
std::string MakeScatteredCompoundFile(
    const std::vector<std::pair<std::string, std::string>>& streams, std::uint32_t run);

// The streams of a compound file, in directory order (read with the library's own reader).
std::vector<std::pair<std::string, std::string>> ReadCompoundStreams(const std::string& bytes);

// Little-endian patching of test bytes.
void PutU16(std::string& bytes, std::size_t offset, std::uint16_t value);
void PutU32(std::string& bytes, std::size_t offset, std::uint32_t value);
std::uint16_t GetU16(const std::string& bytes, std::size_t offset);
std::uint32_t GetU32(const std::string& bytes, std::size_t offset);

// Reads a whole file.
std::string ReadTestFile(const std::string& path);

}  // namespace corvanel::convert::testing
