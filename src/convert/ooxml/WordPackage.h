#pragma once

#include "convert/core/DocumentSink.h"

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace corvanel::convert::word {

// The parts of a WordprocessingML package, however it is stored (ZIP or Flat OPC).
class WordPackage {
public:
    virtual ~WordPackage() = default;
    virtual bool HasPart(std::string_view partName) = 0;
    // The root element of an XML part (name without a leading "/"), or an empty node when the
    // package has no such part. Throws ConvertError when the part is damaged. The document
    // stays valid as long as the package.
    virtual pugi::xml_node PartRoot(std::string_view partName) = 0;
};

// The main part named by the package relationships (officeDocument), else "word/document.xml"
// when there is one; empty when neither is there.
std::string FindMainPart(WordPackage& package);

// Reads the main document part (its root is `document`) with its styles, numbering, notes and
// settings, and emits the body's events.
void ReadWordDocument(WordPackage& package, std::string_view mainPart, pugi::xml_node document,
                      DocumentSink& sink);

}  // namespace corvanel::convert::word
