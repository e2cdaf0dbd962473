#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace corvanel::convert {

// Parse options for document XML: entities of the document type are never expanded (pugixml
// has no DTD support), whitespace-only text is kept where it is a node's only child
// (<w:t xml:space="preserve"> </w:t>).
inline constexpr unsigned kXmlParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;
// For formats where whitespace between inline elements is text (OpenDocument, HTML-like XML).
inline constexpr unsigned kXmlParseOptionsMixedContent =
    pugi::parse_default | pugi::parse_ws_pcdata;

// Parses XML held in `buffer` in place (the buffer must outlive the document). Throws
// ConvertError (damaged) with the parser's description and the part name.
void ParseXmlInPlace(pugi::xml_document& document, std::string& buffer, std::string_view partName,
                     unsigned options = kXmlParseOptions);

// The local part of a qualified name: "w:p" -> "p".
inline std::string_view LocalName(const char* qualifiedName) {
    std::string_view name(qualifiedName);
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// Guards recursion over untrusted trees: construct one per level; throws past the depth limit.
class DepthGuard {
public:
    explicit DepthGuard(int& depth);
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

}  // namespace corvanel::convert
