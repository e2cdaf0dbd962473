#include "convert/ooxml/PackageRelationships.h"

#include "convert/ooxml/WordXml.h"

namespace corvanel::convert::ooxml {

std::vector<Relationship> ReadRelationships(pugi::xml_node relationships) {
    std::vector<Relationship> result;
    for (pugi::xml_node node = relationships.first_child(); node; node = node.next_sibling()) {
        if (Is(node, "Relationship")) {
            result.push_back({AttrValue(node, "Id"), AttrValue(node, "Type"),
                              AttrValue(node, "Target"),
                              AttrValue(node, "TargetMode") == "External"});
        }
    }
    return result;
}

std::string FindRelatedPart(const std::vector<Relationship>& relationships,
                            std::string_view sourcePart, std::string_view kind) {
    for (const Relationship& r : relationships) {
        if (r.external || r.type.size() <= kind.size() ||
            r.type.substr(r.type.size() - kind.size()) != kind ||
            r.type[r.type.size() - kind.size() - 1] != '/') {
            continue;
        }
        return ResolvePartName(sourcePart, r.target);
    }
    return {};
}

std::string FindTargetById(const std::vector<Relationship>& relationships,
                           std::string_view sourcePart, std::string_view id) {
    for (const Relationship& r : relationships) {
        if (!r.external && !id.empty() && r.id == id) {
            return ResolvePartName(sourcePart, r.target);
        }
    }
    return {};
}

std::string RelationshipsPartName(std::string_view partName) {
    const size_t slash = partName.rfind('/');
    const std::string_view folder =
        slash == std::string_view::npos ? std::string_view() : partName.substr(0, slash + 1);
    const std::string_view file =
        slash == std::string_view::npos ? partName : partName.substr(slash + 1);
    return std::string(folder) + "_rels/" + std::string(file) + ".rels";
}

std::string ResolvePartName(std::string_view sourcePart, std::string_view target) {
    std::vector<std::string_view> segments;
    const auto addPath = [&segments](std::string_view path) {
        while (!path.empty()) {
            const size_t slash = path.find('/');
            const std::string_view segment = path.substr(0, slash);
            if (segment == "..") {
                if (!segments.empty()) {
                    segments.pop_back();
                }
            } else if (!segment.empty() && segment != ".") {
                segments.push_back(segment);
            }
            if (slash == std::string_view::npos) {
                break;
            }
            path.remove_prefix(slash + 1);
        }
    };
    if (target.empty() || target.front() != '/') {
        const size_t slash = sourcePart.rfind('/');
        if (slash != std::string_view::npos) {
            addPath(sourcePart.substr(0, slash));
        }
    }
    addPath(target);
    std::string name;
    for (const std::string_view segment : segments) {
        if (!name.empty()) {
            name += '/';
        }
        name += segment;
    }
    return name;
}

}  // namespace corvanel::convert::ooxml
