#include "cli/TargetClaims.h"

#include "system/FileSystem.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace corvanel::cli {

namespace {

namespace fs = std::filesystem;

fs::path Resolved(const fs::path& path) {
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(path, ec);
    if (ec) {
        resolved = fs::absolute(path, ec).lexically_normal();
    }
    return resolved;
}

std::uint32_t HashOf(const std::string& key) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : key) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

// Records start at multiples of this, so a 31-bit count of units reaches 16 GiB.
constexpr std::uint64_t kRecordAlignment = 8;
constexpr std::uint32_t kInMemory = 1u << 31;
constexpr std::uint64_t kMaxUnits = kInMemory - 2;

}  // namespace

TargetClaims::TargetClaims() : slots_(1024) {}

TargetClaims::~TargetClaims() {
    if (spill_ != nullptr) {
        std::fclose(spill_);
    }
}

std::string TargetClaims::KeyFor(const std::string& target) {
    // The targets of a run lie in a few folders, so each folder is resolved once; only a
    // target that is itself a link is resolved in full.
    const fs::path path = system::PathFromUtf8(target);
    const auto [it, added] = resolvedFolders_.try_emplace(system::Utf8FromPath(path.parent_path()));
    if (added) {
        it->second = system::Utf8FromPath(
            Resolved(it->first.empty() ? fs::path(".") : system::PathFromUtf8(it->first)));
    }
    fs::path key = system::PathFromUtf8(it->second) / path.filename();
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(key, ec))) {
        key = Resolved(key);
    }
    return system::CaseKey(system::Utf8FromPath(key));
}

std::uint32_t TargetClaims::Store(const std::string& key, const std::string& source) {
    std::string record = key;
    record += '\0';
    record += source;
    record += '\0';
    record.resize((record.size() + kRecordAlignment - 1) / kRecordAlignment * kRecordAlignment);
    // Most runs are small: the file (slow to create on some file systems) is made only when
    // the records outgrow memory.
    if (spill_ == nullptr && !spillTried_ && memory_.size() + record.size() > kMemoryBytes) {
        spillTried_ = true;
        spill_ = std::tmpfile();
    }
    if (spill_ != nullptr && spillBytes_ / kRecordAlignment < kMaxUnits &&
        std::fseek(spill_, 0, SEEK_END) == 0 &&
        std::fwrite(record.data(), 1, record.size(), spill_) == record.size()) {
        const std::uint64_t offset = spillBytes_;
        spillBytes_ += record.size();
        return static_cast<std::uint32_t>(offset / kRecordAlignment + 1);
    }
    // Still small, no temporary file, or it failed (a full disk): the record stays in memory.
    memory_ += record;
    return kInMemory |
           static_cast<std::uint32_t>((memory_.size() - record.size()) / kRecordAlignment + 1);
}

std::pair<std::string, std::string> TargetClaims::Load(std::uint32_t location) {
    std::pair<std::string, std::string> parts;
    std::uint64_t offset = ((location & ~kInMemory) - 1) * kRecordAlignment;
    if ((location & kInMemory) != 0) {
        const std::size_t keyEnd = memory_.find('\0', offset);
        const std::size_t sourceEnd = memory_.find('\0', keyEnd + 1);
        parts.first = memory_.substr(offset, keyEnd - offset);
        parts.second = memory_.substr(keyEnd + 1, sourceEnd - keyEnd - 1);
        return parts;
    }
    std::fflush(spill_);
    std::fseek(spill_, static_cast<long>(offset), SEEK_SET);
    std::string* part = &parts.first;
    for (int c = std::fgetc(spill_); c != EOF; c = std::fgetc(spill_)) {
        if (c == '\0') {
            if (part == &parts.second) {
                break;
            }
            part = &parts.second;
            continue;
        }
        part->push_back(static_cast<char>(c));
    }
    return parts;
}

void TargetClaims::Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old) {
        if (slot.location == 0) {
            continue;
        }
        std::size_t i = slot.hash & (slots_.size() - 1);
        while (slots_[i].location != 0) {
            i = (i + 1) & (slots_.size() - 1);
        }
        slots_[i] = slot;
    }
}

std::optional<std::string> TargetClaims::Claim(const std::string& target,
                                               const std::string& source) {
    const std::string key = KeyFor(target);
    const std::uint32_t hash = HashOf(key);
    std::size_t i = hash & (slots_.size() - 1);
    for (; slots_[i].location != 0; i = (i + 1) & (slots_.size() - 1)) {
        if (slots_[i].hash == hash) {
            auto [claimedKey, claimedBy] = Load(slots_[i].location);
            if (claimedKey == key) {
                return std::move(claimedBy);
            }
        }
    }
    slots_[i] = {hash, Store(key, source)};
    if (++used_ * 4 > slots_.size() * 3) {
        Grow();
    }
    return std::nullopt;
}

}  // namespace corvanel::cli
