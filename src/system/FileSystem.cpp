#include "system/FileSystem.h"

#include <atomic>
#include <chrono>
#include <utility>

namespace corvanel::system {

namespace {

class HeldFileCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "corvanel-held-file"; }
    std::string message(int) const override { return "another program holds the file"; }
};

}  // namespace

std::error_code HeldByAnotherProgram() {
    static const HeldFileCategory category;
    return std::error_code(1, category);
}

std::string TemporaryNameBeside(const std::string& target, int attempt) {
    static std::atomic<unsigned> counter{0};
    // Asked once: the name need only be rare, as the file is created exclusively.
    static const unsigned long pid = CurrentProcessId();
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return target + ".corvanel-" + std::to_string(pid) + "-" + std::to_string(counter++) + "-" +
           std::to_string((now + attempt) & 0xFFFFFF) + ".tmp";
}

StagedFile::StagedFile(std::string target, Naming naming)
    : target_(std::move(target)), naming_(naming) {}

StagedFile::~StagedFile() {
    Discard();
}

ReadableFile::~ReadableFile() {
    Close();
}

ReadableFile::ReadableFile(ReadableFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)), kind_(other.kind_), size_(other.size_) {}

ReadableFile& ReadableFile::operator=(ReadableFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = std::exchange(other.handle_, kNoHandle);
        kind_ = other.kind_;
        size_ = other.size_;
    }
    return *this;
}

}  // namespace corvanel::system
