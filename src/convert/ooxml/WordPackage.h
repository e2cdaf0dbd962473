#pragma once

#include "convert/core/DocumentSink.h"

#include <pugixml.hpp>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace corvanel::convert::ooxml {

// The parts of a WordprocessingML package, however it is stored (ZIP or Flat OPC).
class WordPackage {
public:
    virtual ~WordPackage() = default;
    virtual bool HasPart(std::string_view partName) = 0;
    // The root element of an XML part (name without a leading "/"), or an empty node when the
    // package has no such part. Throws ConvertError when the part is damaged. The document
    // stays valid as long as the package.
    virtual pugi::xml_node PartRoot(std::string_view partName) = 0;
    // Frees the tree of a part whose reader keeps only views of its text (the part's bytes stay):
    // its nodes are no longer used. Asked for again, the part is read anew.
    virtual void ReleaseTree(std::string_view /*partName*/) {}
    // The bytes of a part, kept by the package, for a reader that parses pieces of them in place
    // itself; asked for as a tree afterwards, the part is read anew. Nothing when the package
    // has no such part or keeps its parts only as trees. Throws ConvertError when damaged.
    virtual std::string* PartText(std::string_view /*partName*/) { return nullptr; }
    // A copy of a part's bytes, for a part in another format (an imported chunk); nothing when
    // the package has no such part or does not keep such parts. Throws ConvertError when
    // damaged.
    virtual std::optional<std::string> PartBytes(std::string_view /*partName*/) {
        return std::nullopt;
    }
};

// The main part named by the package relationships (officeDocument), else "word/document.xml"
// when there is one; empty when neither is there.
std::string FindMainPart(WordPackage& package);

// Reads the main document part (its root is `document`) with its styles, numbering, notes and
// settings, and emits the body's events.
void ReadWordDocument(WordPackage& package, std::string_view mainPart, pugi::xml_node document,
                      DocumentSink& sink);

struct BodyBlocks;

// The same with the bodies' blocks parsed a batch at a time from `mainXml` (the main part's
// bytes, parsed in place); `document` is the root of the part's skeleton. A batch that is not
// well-formed calls `onMalformed` with the parser's description and the byte offset in the
// part, which may throw a fuller report; a damaged-part error follows when it returns.
void ReadWordDocument(WordPackage& package, std::string_view mainPart, pugi::xml_node document,
                      std::string& mainXml, const BodyBlocks& blocks,
                      const std::function<void(std::string_view, std::size_t)>& onMalformed,
                      DocumentSink& sink);

}  // namespace corvanel::convert::ooxml
