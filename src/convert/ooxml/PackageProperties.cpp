#include "convert/ooxml/PackageProperties.h"

#include "convert/core/ConvertError.h"
#include "convert/core/PropertyValues.h"
#include "convert/ooxml/PackageRelationships.h"
#include "convert/ooxml/WordPackage.h"
#include "convert/ooxml/WordXml.h"

#include <string>

namespace corvanel::convert::ooxml {

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view WithoutLeadingSlash(std::string_view name) {
    while (!name.empty() && name.front() == '/') {
        name.remove_prefix(1);
    }
    return name;
}

// Calls `read` with the part's root; a part that is absent or cannot be read is skipped, and
// its tree is let go afterwards (nothing keeps views of it).
template <typename Read>
void WithPart(WordPackage& package, const std::string& name, Read&& read) {
    if (name.empty()) {
        return;
    }
    try {
        const pugi::xml_node root = package.PartRoot(name);
        if (root) {
            read(root);
        }
    } catch (const ConvertError&) {
    }
    package.ReleaseTree(name);
}

}  // namespace

std::string_view FormatOfMainPart(std::string_view contentType) {
    static constexpr std::pair<std::string_view, std::string_view> kFormats[] = {
        {"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml",
         "docx"},
        {"application/vnd.ms-word.document.macroEnabled.main+xml", "docm"},
        {"application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml",
         "dotx"},
        {"application/vnd.ms-word.template.macroEnabledTemplate.main+xml", "dotm"},
    };
    contentType = TrimWhiteSpace(contentType);
    for (const auto& [type, format] : kFormats) {
        if (EqualsNoCase(contentType, type)) {
            return format;
        }
    }
    return {};
}

std::string_view ContentTypeOf(pugi::xml_node types, std::string_view partName) {
    partName = WithoutLeadingSlash(partName);
    const std::size_t dot = partName.rfind('.');
    const std::string_view extension =
        dot == std::string_view::npos || partName.find('/', dot) != std::string_view::npos
            ? std::string_view()
            : partName.substr(dot + 1);
    std::string_view byExtension;
    for (pugi::xml_node node = types.first_child(); node; node = node.next_sibling()) {
        if (Is(node, "Override") &&
            EqualsNoCase(WithoutLeadingSlash(AttrValue(node, "PartName")), partName)) {
            return AttrValue(node, "ContentType");
        }
        if (byExtension.empty() && !extension.empty() && Is(node, "Default") &&
            EqualsNoCase(AttrValue(node, "Extension"), extension)) {
            byExtension = AttrValue(node, "ContentType");
        }
    }
    return byExtension;
}

void ReadPackageProperties(WordPackage& package, DocumentSink& sink) {
    std::string core;
    std::string app;
    WithPart(package, RelationshipsPartName(""), [&](pugi::xml_node rels) {
        const std::vector<Relationship> relationships = ReadRelationships(rels);
        core = FindRelatedPart(relationships, "", "core-properties");
        app = FindRelatedPart(relationships, "", "extended-properties");
    });
    WithPart(package, core, [&](pugi::xml_node root) {
        for (pugi::xml_node node = root.first_child(); node; node = node.next_sibling()) {
            const std::string_view value = node.text().get();
            if (Is(node, "title")) {
                SendText(sink, DocumentProperty::kTitle, value);
            } else if (Is(node, "creator")) {
                SendText(sink, DocumentProperty::kAuthor, value);
            } else if (Is(node, "created")) {
                SendIsoDate(sink, DocumentProperty::kCreated, value);
            } else if (Is(node, "modified")) {
                SendIsoDate(sink, DocumentProperty::kModified, value);
            }
        }
    });
    WithPart(package, app, [&](pugi::xml_node root) {
        for (pugi::xml_node node = root.first_child(); node; node = node.next_sibling()) {
            if (Is(node, "Pages")) {
                SendCount(sink, DocumentProperty::kPages, node.text().get());
            } else if (Is(node, "Words")) {
                SendCount(sink, DocumentProperty::kWords, node.text().get());
            }
        }
    });
}

}  // namespace corvanel::convert::ooxml
