#include "convert/core/TextFileOutput.h"

#include "system/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

namespace corvanel::convert {

namespace {

namespace fs = std::filesystem;

// A name beside the target that no other writer (thread or process) picks at the same time.
std::string TemporaryNameFor(const std::string& target, int attempt) {
    static std::atomic<unsigned> counter{0};
    const unsigned long pid = system::CurrentProcessId();
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return target + ".corvanel-" + std::to_string(pid) + "-" + std::to_string(counter++) + "-" +
           std::to_string((now + attempt) & 0xFFFFFF) + ".tmp";
}

ConversionResult CannotWrite(const std::string& target, const std::string& reason) {
    ConversionResult result;
    result.code = ErrorCode::kCannotWrite;
    result.description = DescribeError(ErrorCode::kCannotWrite, target, reason);
    return result;
}

}  // namespace

TextFileOutput::TextFileOutput(std::string targetPath) : target_(std::move(targetPath)) {}

TextFileOutput::~TextFileOutput() {
    Abandon();
}

void TextFileOutput::Fail(const std::string& reason) {
    if (failure_.Ok()) {
        failure_ = CannotWrite(target_, reason);
    }
}

bool TextFileOutput::Open() {
    if (opened_) {
        return file_ != nullptr;
    }
    opened_ = true;
    for (int attempt = 0; attempt < 16 && file_ == nullptr; ++attempt) {
        temporary_ = TemporaryNameFor(target_, attempt);
        file_ = system::OpenFile(temporary_, "wbx");  // exclusive: never reuse a stranger's file
        if (file_ == nullptr && errno != EEXIST) {
            Fail(std::strerror(errno));
            return false;
        }
    }
    if (file_ == nullptr) {
        Fail("no temporary file could be created beside it");
        return false;
    }
    return true;
}

void TextFileOutput::Write(std::string_view text) {
    if (!failure_.Ok() || !Open() || text.empty()) {
        return;
    }
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) {
        Fail(std::strerror(errno != 0 ? errno : EIO));
    }
}

ConversionResult TextFileOutput::Commit() {
    Open();
    if (file_ != nullptr) {
        if (std::fflush(file_) != 0) {
            Fail(std::strerror(errno));
        }
        if (std::fclose(file_) != 0) {
            Fail(std::strerror(errno));
        }
        file_ = nullptr;
    }
    if (failure_.Ok()) {
        const std::error_code ec = system::MoveReplacing(temporary_, target_);
        if (!ec) {
            temporary_.clear();
            return {};
        }
        // Looked at only now: checking first would cost every file a look-up.
        std::error_code ignored;
        Fail(fs::is_directory(system::PathFromUtf8(target_), ignored)
                 ? "a folder of that name is in the way"
                 : ec.message());
    }
    Abandon();
    return failure_;
}

void TextFileOutput::Abandon() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!temporary_.empty()) {
        std::error_code ec;
        fs::remove(system::PathFromUtf8(temporary_), ec);
        temporary_.clear();
    }
}

ConversionResult WriteTextFile(const std::string& targetPath, std::string_view text) {
    TextFileOutput output(targetPath);
    output.Write(text);
    return output.Commit();
}

}  // namespace corvanel::convert
