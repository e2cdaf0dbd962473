#pragma once

#include "convert/core/DocumentSink.h"
#include "convert/ooxml/PackageRelationships.h"
#include "convert/ooxml/WordPackage.h"

#include <string_view>
#include <vector>

namespace corvanel::convert::ooxml {

// A docx chunk may hold chunks of its own; deeper ones are left out.
inline constexpr int kMaxChunkDepth = 4;

// Reads the imported chunk (<w:altChunk r:id>) that relationship `id` of `mainPart` names: a
// part in HTML, MHT, RTF, plain text or a Word package, read with the reader of its format. Its
// paragraphs go to the sink in place; its own format, properties and end do not. A chunk that
// cannot be read, nests too deeply or is the main part itself adds nothing.
void ReadAltChunk(WordPackage& package, std::string_view mainPart,
                  const std::vector<Relationship>& relationships, std::string_view id,
                  DocumentSink& sink);

}  // namespace corvanel::convert::ooxml
