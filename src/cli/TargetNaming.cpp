#include "cli/TargetNaming.h"

#include "convert/core/OutputNaming.h"
#include "system/FileSystem.h"

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
    fs::path path = system::PathFromUtf8(source).lexically_normal().relative_path();
    if (Climbs(path)) {
        std::error_code ec;
        path = fs::absolute(system::PathFromUtf8(source), ec).lexically_normal().relative_path();
    }
    return system::Utf8FromPath(path);
}

std::optional<std::string> TargetFor(const std::string& source, const TargetRule& rule) {
    const fs::path path = system::PathFromUtf8(source);
    const auto textName =
        convert::OutputFileNameFor(system::Utf8FromPath(path.filename()), rule.extension);
    if (!textName) {
        return std::nullopt;
    }
    const fs::path textFile = system::PathFromUtf8(*textName);
    if (rule.outputFolder.empty()) {
        return system::Utf8FromPath(path.parent_path() / textFile);
    }
    fs::path folder = system::PathFromUtf8(rule.outputFolder);
    if (rule.keepTree) {
        folder /= system::PathFromUtf8(MirroredPath(source)).parent_path();
    }
    return system::Utf8FromPath(folder / textFile);
}

}  // namespace corvanel::cli
