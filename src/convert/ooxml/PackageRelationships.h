#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::ooxml {

// One relationship of an Open Packaging part (_rels/*.rels). Strings point into the parsed XML.
struct Relationship {
    std::string_view id;
    std::string_view type;
    std::string_view target;
    bool external = false;
};

// The relationships of a <Relationships> element.
std::vector<Relationship> ReadRelationships(pugi::xml_node relationships);

// The target of the first internal relationship whose type ends with "/<kind>" (transitional and
// strict packages differ only in the type's namespace), resolved against the source part's
// name; empty when there is none.
std::string FindRelatedPart(const std::vector<Relationship>& relationships,
                            std::string_view sourcePart, std::string_view kind);

// The target of the internal relationship with the id, resolved as above; empty when none.
std::string FindTargetById(const std::vector<Relationship>& relationships,
                           std::string_view sourcePart, std::string_view id);

// "word/_rels/document.xml.rels" for "word/document.xml"; "_rels/.rels" for the package ("").
std::string RelationshipsPartName(std::string_view partName);

// A target resolved against the folder of the part that names it, without a leading "/":
// ("word/document.xml", "media/a.png") -> "word/media/a.png"; "/x" is from the package root;
// ".." and "." steps are followed but never above the root.
std::string ResolvePartName(std::string_view sourcePart, std::string_view target);

}  // namespace corvanel::convert::ooxml
