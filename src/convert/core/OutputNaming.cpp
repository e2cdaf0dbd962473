#include "convert/core/OutputNaming.h"

namespace corvanel::convert {

std::optional<std::string> TextFileNameFor(std::string_view fileName) {
    return OutputFileNameFor(fileName, "txt");
}

std::optional<std::string> OutputFileNameFor(std::string_view fileName,
                                             std::string_view extension) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    std::string name(fileName.substr(0, dot + 1));
    name += extension;
    return name;
}

}  // namespace corvanel::convert
