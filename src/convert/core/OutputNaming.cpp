#include "convert/core/OutputNaming.h"

namespace corvanel::convert {

std::optional<std::string> TextFileNameFor(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    std::string name(fileName.substr(0, dot + 1));
    name += "txt";
    return name;
}

}  // namespace corvanel::convert
