#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvanel::cli {

// The text files of a run, each claimed by the first document that names it however its path
// is spelled (links and "." resolved), so a later document never writes over a text just made.
// A run may hold millions of documents: in memory each claim takes a hash and an offset; past
// the first megabyte the paths themselves go to an unnamed temporary file, read back only on a
// hash match.
class TargetClaims {
public:
    TargetClaims();
    ~TargetClaims();
    TargetClaims(const TargetClaims&) = delete;
    TargetClaims& operator=(const TargetClaims&) = delete;

    // Claims `target` for `source`; when another document claimed it first, returns that one.
    std::optional<std::string> Claim(const std::string& target, const std::string& source);

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::uint64_t offset = 0;  // of the claim's record, plus one; 0 = empty slot
    };
    std::string KeyFor(const std::string& target);
    std::uint64_t Store(const std::string& key, const std::string& source);
    // The key and source of the record at `offset`.
    std::pair<std::string, std::string> Load(std::uint64_t offset);
    void Grow();

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
    std::map<std::string, std::string> resolvedFolders_;
    static constexpr std::uint64_t kInMemory = 1ull << 62;  // an offset into memory_
    static constexpr std::size_t kMemoryBytes = 1 << 20;
    std::FILE* spill_ = nullptr;  // the records past the first kMemoryBytes
    bool spillTried_ = false;
    std::uint64_t spillBytes_ = 0;
    std::string memory_;  // the first records, and those the spill file could not take
};

}  // namespace corvanel::cli
