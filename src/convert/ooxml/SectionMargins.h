#pragma once

#include "convert/core/DocumentSink.h"

#include <pugixml.hpp>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::ooxml {

// A header or footer a section names: a package keeps it in a part of its own, Word 2003 XML in
// the section properties themselves.
struct SectionMargin {
    MarginText kind = MarginText::kHeader;
    std::string relationshipId;
    pugi::xml_node content;
};

// Adds the headers and footers (of the kinds the sink wants) named by the section properties
// at or under `node`, in document order; within a section its usual one comes first, then the
// first-page and even-page ones.
void CollectSectionMargins(pugi::xml_node node, const DocumentSink& sink,
                           std::vector<SectionMargin>& margins);

class BodyWalker;

// Sends each header and footer, walked by `walker`. `partRoot` gives the root of the part a
// package names by a relationship id, or an empty node (no such part, or one sent already).
void SendSectionMargins(const std::vector<SectionMargin>& margins,
                        const std::function<pugi::xml_node(std::string_view)>& partRoot,
                        BodyWalker& walker, DocumentSink& sink);

// Sends the comments of a comments part (<w:comments>), in its order, when the sink wants them.
void SendComments(pugi::xml_node comments, BodyWalker& walker, DocumentSink& sink);

}  // namespace corvanel::convert::ooxml
