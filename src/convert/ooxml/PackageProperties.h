#pragma once

#include "convert/core/DocumentSink.h"

#include <pugixml.hpp>

#include <string_view>

namespace corvanel::convert::ooxml {

class WordPackage;

// The format name of a WordprocessingML package by its main part's content type: "docx",
// "docm" (macro-enabled), "dotx" (template), "dotm"; empty for any other content type.
std::string_view FormatOfMainPart(std::string_view contentType);

// The content type a <Types> element ([Content_Types].xml) gives a part: its Override, else
// the Default of its extension; empty when neither is there.
std::string_view ContentTypeOf(pugi::xml_node types, std::string_view partName);

// Sends the title, author and dates of the core properties part and the page and word counts
// of the extended properties part, both found through the package relationships. A part that
// is missing or cannot be read sends nothing: these never fail a document.
void ReadPackageProperties(WordPackage& package, DocumentSink& sink);

}  // namespace corvanel::convert::ooxml
