#include "cli/TargetNaming.h"

#include "convert/core/OutputNaming.h"

#include <filesystem>
#include <system_error>

namespace corvanel::cli {

namespace {

namespace fs = std::filesystem;

bool Climbs(const fs::path& path) {
    return !path.empty() && *path.begin() == "..";
}

}  // namespace

std::string MirroredPath(const std::string& source) {
    fs::path path = fs::path(source).lexically_normal().relative_path();
    if (Climbs(path)) {
        std::error_code ec;
        path = fs::absolute(source, ec).lexically_normal().relative_path();
    }
    return path.string();
}

std::optional<std::string> TargetFor(const std::string& source, const TargetRule& rule) {
    const fs::path path(source);
    const auto textName = convert::OutputFileNameFor(path.filename().string(), rule.extension);
    if (!textName) {
        return std::nullopt;
    }
    if (rule.outputFolder.empty()) {
        return (path.parent_path() / *textName).string();
    }
    fs::path folder(rule.outputFolder);
    if (rule.keepTree) {
        folder /= fs::path(MirroredPath(source)).parent_path();
    }
    return (folder / *textName).string();
}

}  // namespace corvanel::cli
