#include "convert/ooxml/SectionMargins.h"

#include "convert/ooxml/BodyWalker.h"
#include "convert/ooxml/WordXml.h"

#include <algorithm>
#include <utility>

namespace corvanel::convert::ooxml {

namespace {

int TypeRank(std::string_view type) {
    if (type == "first") {
        return 1;
    }
    return type == "even" ? 2 : 0;  // "default" ("odd" in Word 2003 XML) comes first
}

void AddSection(pugi::xml_node sectPr, const DocumentSink& sink,
                std::vector<SectionMargin>& margins) {
    std::vector<std::pair<int, SectionMargin>> section;
    for (pugi::xml_node child = sectPr.first_child(); child; child = child.next_sibling()) {
        const bool inPlace = Is(child, "hdr") || Is(child, "ftr");
        const bool header = Is(child, "headerReference") || Is(child, "hdr");
        const bool footer = Is(child, "footerReference") || Is(child, "ftr");
        const MarginText kind = header ? MarginText::kHeader : MarginText::kFooter;
        if ((!header && !footer) || !sink.WantsMarginText(kind)) {
            continue;
        }
        section.push_back({TypeRank(AttrValue(child, "type")),
                           {kind, inPlace ? std::string() : std::string(AttrValue(child, "id")),
                            inPlace ? child : pugi::xml_node()}});
    }
    std::stable_sort(section.begin(), section.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [rank, margin] : section) {
        margins.push_back(std::move(margin));
    }
}

}  // namespace

void CollectSectionMargins(pugi::xml_node node, const DocumentSink& sink,
                           std::vector<SectionMargin>& margins) {
    // Depth first, in document order, without recursion: the tree may be deep.
    for (pugi::xml_node n = node; n;) {
        if (Is(n, "sectPr")) {
            AddSection(n, sink, margins);
        } else if (n.first_child()) {
            n = n.first_child();
            continue;
        }
        while (n != node && !n.next_sibling()) {
            n = n.parent();
        }
        if (n == node) {
            break;
        }
        n = n.next_sibling();
    }
}

void SendSectionMargins(const std::vector<SectionMargin>& margins,
                        const std::function<pugi::xml_node(std::string_view)>& partRoot,
                        BodyWalker& walker, DocumentSink& sink) {
    for (const SectionMargin& margin : margins) {
        const pugi::xml_node content =
            margin.content ? margin.content : partRoot(margin.relationshipId);
        if (content) {
            sink.StartMarginText(margin.kind, {});
            walker.WalkStory(content);
            sink.EndMarginText();
        }
    }
}

void SendComments(pugi::xml_node comments, BodyWalker& walker, DocumentSink& sink) {
    if (!sink.WantsMarginText(MarginText::kComment)) {
        return;
    }
    for (pugi::xml_node comment = comments.first_child(); comment;
         comment = comment.next_sibling()) {
        if (Is(comment, "comment")) {
            sink.StartMarginText(MarginText::kComment, AttrValue(comment, "author"));
            walker.WalkStory(comment);
            sink.EndMarginText();
        }
    }
}

}  // namespace corvanel::convert::ooxml
