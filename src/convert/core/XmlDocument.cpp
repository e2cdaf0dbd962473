#include "convert/core/XmlDocument.h"

#include "convert/core/ConvertError.h"
#include "convert/core/Limits.h"

namespace corvanel::convert {

void ParseXmlInPlace(pugi::xml_document& document, std::string& buffer, std::string_view partName,
                     unsigned options) {
    const pugi::xml_parse_result result =
        document.load_buffer_inplace(buffer.data(), buffer.size(), options, pugi::encoding_auto);
    if (!result) {
        ThrowDamaged(std::string(partName) + " is not well-formed XML (" + result.description() +
                     " at byte " + std::to_string(result.offset) + ")");
    }
}

DepthGuard::DepthGuard(int& depth) : depth_(depth) {
    if (++depth_ > limits::kMaxNestingDepth) {
        --depth_;
        ThrowDamaged("its content is nested more than " + std::to_string(limits::kMaxNestingDepth) +
                     " levels deep");
    }
}

}  // namespace corvanel::convert
