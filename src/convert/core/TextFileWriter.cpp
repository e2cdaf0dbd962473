#include "convert/Converter.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace corvanel::convert {

namespace {

namespace fs = std::filesystem;

// A name beside the target that no other writer (thread or process) picks at the same time.
std::string TemporaryNameFor(const std::string& target, int attempt) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const unsigned long pid = 0;
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return target + ".corvanel-" + std::to_string(pid) + "-" + std::to_string(counter++) + "-" +
           std::to_string((now + attempt) & 0xFFFFFF) + ".tmp";
}

ConversionResult CannotWrite(const std::string& target, const std::string& reason) {
    return {ErrorCode::kCannotWrite, DescribeError(ErrorCode::kCannotWrite, target, reason)};
}

}  // namespace

ConversionResult WriteTextFile(const std::string& targetPath, std::string_view text) {
    std::error_code ec;
    if (fs::is_directory(targetPath, ec)) {
        return CannotWrite(targetPath, "a folder of that name is in the way");
    }
    std::string temporary;
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < 16 && file == nullptr; ++attempt) {
        temporary = TemporaryNameFor(targetPath, attempt);
        file = std::fopen(temporary.c_str(), "wbx");  // exclusive: never reuse a stranger's file
        if (file == nullptr && errno != EEXIST) {
            return CannotWrite(targetPath, std::strerror(errno));
        }
    }
    if (file == nullptr) {
        return CannotWrite(targetPath, "no temporary file could be created beside it");
    }

    bool ok = text.empty() || std::fwrite(text.data(), 1, text.size(), file) == text.size();
    int error = ok ? 0 : errno;
    if (std::fflush(file) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        fs::remove(temporary, ec);
        return CannotWrite(targetPath, std::strerror(error != 0 ? error : EIO));
    }
    fs::rename(temporary, targetPath, ec);
    if (ec) {
        const std::string reason = ec.message();
        fs::remove(temporary, ec);
        return CannotWrite(targetPath, reason);
    }
    return {};
}

}  // namespace corvanel::convert
