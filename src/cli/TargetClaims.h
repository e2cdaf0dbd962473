#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace corvanel::cli {

// The text files of a run, each claimed by the first document that names it however its path
// is spelled (links and "." resolved, and letter case where the file system ignores it), so a later
// document never writes over a text just made. A run may hold millions of documents: in memory each
// claim takes 8 bytes (a hash and where its record is, in a table at most three quarters full);
// past the first megabyte the paths themselves go to an unnamed temporary file, read back only on a
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
        std::uint32_t hash = 0;
        std::uint32_t location = 0;  // where the claim's record is; 0: an empty slot
    };
    std::string KeyFor(const std::string& target);
    // Keeps the record of a claim; returns its location.
    std::uint32_t Store(const std::string& key, const std::string& source);
    // The key and source of the record at `location`.
    std::pair<std::string, std::string> Load(std::uint32_t location);
    void Grow();

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
    std::map<std::string, std::string> resolvedFolders_;
    static constexpr std::size_t kMemoryBytes = 1 << 20;
    std::FILE* spill_ = nullptr;  // the records past the first kMemoryBytes
    bool spillTried_ = false;
    std::uint64_t spillBytes_ = 0;
    std::string memory_;  // the first records, and those the spill file could not take
};

}  // namespace corvanel::cli
