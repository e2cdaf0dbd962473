#include "convert/core/ConvertError.h"
#include "convert/core/XmlScanning.h"
#include "convert/ooxml/AltChunk.h"
#include "convert/ooxml/BodyBlocks.h"
#include "convert/ooxml/BodyWalker.h"
#include "convert/ooxml/PackageRelationships.h"
#include "convert/ooxml/SectionMargins.h"
#include "convert/ooxml/WordContext.h"
#include "convert/ooxml/WordPackage.h"
#include "convert/ooxml/WordXml.h"

#include <map>
#include <string>
#include <unordered_set>
#include <vector>

namespace corvanel::convert::ooxml {

namespace {

constexpr std::string_view kDefaultMainPart = "word/document.xml";

// Parts besides the main one only add detail (list labels, notes); a damaged one is read as
// missing, as word processors do, rather than losing the whole text.
pugi::xml_node OptionalPart(WordPackage& package, const std::string& name) {
    if (name.empty()) {
        return {};
    }
    try {
        return package.PartRoot(name);
    } catch (const ConvertError& e) {
        if (e.Code() == ErrorCode::kDamaged) {
            return {};
        }
        throw;
    }
}

}  // namespace

std::string FindMainPart(WordPackage& package) {
    const pugi::xml_node rels = OptionalPart(package, RelationshipsPartName(""));
    std::string main = FindRelatedPart(ReadRelationships(rels), "", "officeDocument");
    if (!main.empty() && package.HasPart(main)) {
        return main;
    }
    return package.HasPart(kDefaultMainPart) ? std::string(kDefaultMainPart) : std::string();
}

namespace {

// The styles keep views of the part's text only: a style sheet is indexed and its styles parsed
// as they are looked up, or, when it cannot be indexed, parsed whole and its tree let go.
void LoadStyles(WordPackage& package, const std::string& stylesPart, std::string_view mainPart,
                WordStyles& styles) {
    if (stylesPart.empty()) {
        return;
    }
    if (stylesPart != mainPart) {  // a hostile package may name the main part for both
        try {
            std::string* text = package.PartText(stylesPart);
            if (text != nullptr && styles.LoadLazily(*text)) {
                return;
            }
        } catch (const ConvertError& e) {
            if (e.Code() == ErrorCode::kDamaged) {
                return;  // read as missing, like any other damaged secondary part
            }
            throw;
        }
    }
    styles.Load(OptionalPart(package, stylesPart));
    if (stylesPart != mainPart) {
        package.ReleaseTree(stylesPart);
    }
}

// Sets up what the body walker looks up (styles; lists and notes on first use) and lets
// `walkBodies` walk the bodies, after the headers and footers of `margins` and the comments
// (when wanted). `document` has the first body's section properties.
template <typename WalkBodies>
void ReadWithContext(WordPackage& package, std::string_view mainPart, pugi::xml_node document,
                     const std::vector<SectionMargin>& margins, DocumentSink& sink,
                     WalkBodies walkBodies) {
    const std::vector<Relationship> rels =
        ReadRelationships(OptionalPart(package, RelationshipsPartName(mainPart)));
    // The parts read besides the main one, by root element: a hyperlink names a relationship
    // of the part that holds it.
    std::vector<std::pair<pugi::xml_node, std::string>> parts;
    std::map<std::string, std::vector<Relationship>, std::less<>> partRelationships;
    const auto readPart = [&](std::string name) {
        const pugi::xml_node root = OptionalPart(package, name);
        if (root) {
            parts.emplace_back(root, std::move(name));
        }
        return root;
    };
    const auto related = [&](std::string_view kind) {
        return readPart(FindRelatedPart(rels, mainPart, kind));
    };

    const pugi::xml_node body = Child(document, "body");
    WordContext context;
    LoadStyles(package, FindRelatedPart(rels, mainPart, "styles"), mainPart, context.styles);
    context.loadNumbering = [&](WordNumbering& numbering) {
        LoadNumbering(related("numbering"), numbering);
    };
    context.loadNotes = [&](WordContext& notes) {
        notes.footnotes.Load(related("footnotes"));
        notes.endnotes.Load(related("endnotes"));
        const pugi::xml_node settings = related("settings");
        ReadNoteMarkFormat(Child(settings, "footnotePr"), notes.footnoteMarks);
        ReadNoteMarkFormat(Child(settings, "endnotePr"), notes.endnoteMarks);
        const pugi::xml_node sectPr = Child(body, "sectPr");
        ReadNoteMarkFormat(Child(sectPr, "footnotePr"), notes.footnoteMarks);
        ReadNoteMarkFormat(Child(sectPr, "endnotePr"), notes.endnoteMarks);
    };

    context.linkTarget = [&](pugi::xml_node link, std::string_view id) {
        std::string_view part = mainPart;
        for (pugi::xml_node up = link; up && part == mainPart; up = up.parent()) {
            for (const auto& [root, name] : parts) {
                if (root == up) {
                    part = name;
                }
            }
        }
        auto known = partRelationships.find(part);
        if (known == partRelationships.end()) {
            known = partRelationships
                        .emplace(std::string(part),
                                 part == mainPart ? rels
                                                  : ReadRelationships(OptionalPart(
                                                        package, RelationshipsPartName(part))))
                        .first;
        }
        for (const Relationship& relationship : known->second) {
            if (relationship.id == id) {
                return std::string(relationship.target);
            }
        }
        return std::string();
    };
    context.readChunk = [&](std::string_view id, DocumentSink& chunkSink) {
        ReadAltChunk(package, mainPart, rels, id, chunkSink);
    };

    BodyWalker walker(context, sink);
    std::unordered_set<std::string> sent;  // sections often share their header and footer parts
    SendSectionMargins(
        margins,
        [&](std::string_view id) {
            std::string name = FindTargetById(rels, mainPart, id);
            if (name.empty() || name == mainPart || !sent.insert(name).second) {
                return pugi::xml_node();
            }
            return readPart(std::move(name));
        },
        walker, sink);
    if (sink.WantsMarginText(MarginText::kComment)) {
        SendComments(related("comments"), walker, sink);
    }
    walkBodies(walker, body);
}

}  // namespace

void ReadWordDocument(WordPackage& package, std::string_view mainPart, pugi::xml_node document,
                      DocumentSink& sink) {
    std::vector<SectionMargin> margins;
    if (sink.WantsMarginText(MarginText::kHeader) || sink.WantsMarginText(MarginText::kFooter)) {
        CollectSectionMargins(document, sink, margins);
    }
    ReadWithContext(package, mainPart, document, margins, sink,
                    [](BodyWalker& walker, pugi::xml_node body) {
                        // Some writers split the body in several <w:body> elements; all of
                        // them are text.
                        for (pugi::xml_node part = body; part; part = part.next_sibling()) {
                            if (Is(part, "body")) {
                                walker.WalkStory(part);
                            }
                        }
                    });
}

namespace {

using Piece = BodyWalker::StoryPiece;

// One step of reading a body in batches: a range of the part to parse (blocks, or rows of a
// table), or the start or end of a table read in pieces.
struct PlannedPiece {
    Piece::Kind kind = Piece::Kind::kBlocks;
    std::size_t begin = 0;
    std::size_t size = 0;

    bool HasXml() const {
        return kind != Piece::Kind::kTableStart && kind != Piece::Kind::kTableEnd;
    }
};

// True when the XML starts with a table element (<w:tbl ...>).
bool StartsWithTable(std::string_view xml) {
    if (!xml.starts_with('<')) {
        return false;
    }
    std::size_t end = 1;
    while (end < xml.size() && !xmlscan::IsNameEnd(xml[end])) {
        ++end;
    }
    return xmlscan::LocalPart(xml.substr(1, end - 1)) == "tbl";
}

// A batch larger than the batch size holds one block; when that is a table (some run to
// megabytes), its rows are read a batch at a time too, so no single tree holds all of it.
std::vector<PlannedPiece> PlanBody(std::string_view mainXml,
                                   const std::vector<BodyBlocks::Batch>& batches) {
    static const BlockLayout kTableRows{{}, {}};  // the children of the root element
    std::vector<PlannedPiece> plan;
    for (const BodyBlocks::Batch& batch : batches) {
        const std::string_view xml = mainXml.substr(batch.begin, batch.size);
        if (batch.size > BodyBatchBytes() && StartsWithTable(xml)) {
            const auto rows = ScanContainerBlocks(xml, kTableRows, BodyBatchBytes());
            if (rows && rows->bodies.size() == 1) {
                plan.push_back({Piece::Kind::kTableStart});
                for (const ContainerBlocks::Batch& group : rows->bodies.front()) {
                    plan.push_back(
                        {Piece::Kind::kTableRows, batch.begin + group.begin, group.size});
                }
                plan.push_back({Piece::Kind::kTableEnd});
                continue;
            }
        }
        plan.push_back({Piece::Kind::kBlocks, batch.begin, batch.size});
    }
    return plan;
}

// The headers and footers of a body read in batches: the batches' paragraphs end sections too,
// and their XML must stay as it is for the reading that follows, so the few batches that name
// a header or footer are parsed from a copy first. A batch that is not well-formed is left to
// that reading to report.
void CollectBatchedMargins(std::string_view mainXml,
                           const std::vector<std::vector<PlannedPiece>>& plans,
                           pugi::xml_node skeleton, const DocumentSink& sink,
                           std::vector<SectionMargin>& margins) {
    pugi::xml_document copy;
    for (const std::vector<PlannedPiece>& plan : plans) {
        for (const PlannedPiece& step : plan) {
            const std::string_view xml = mainXml.substr(step.begin, step.size);
            if (!step.HasXml() || (xml.find("headerReference") == std::string_view::npos &&
                                   xml.find("footerReference") == std::string_view::npos)) {
                continue;
            }
            if (copy.load_buffer(xml.data(), xml.size(), kXmlParseOptions | pugi::parse_fragment,
                                 pugi::encoding_utf8)) {
                CollectSectionMargins(copy, sink, margins);
            }
        }
    }
    CollectSectionMargins(skeleton, sink, margins);  // the last section's, after the blocks
}

}  // namespace

void ReadWordDocument(WordPackage& package, std::string_view mainPart, pugi::xml_node document,
                      std::string& mainXml, const BodyBlocks& blocks,
                      const std::function<void(std::string_view, std::size_t)>& onMalformed,
                      DocumentSink& sink) {
    std::vector<std::vector<PlannedPiece>> plans;
    for (const std::vector<BodyBlocks::Batch>& batches : blocks.bodies) {
        plans.push_back(PlanBody(mainXml, batches));
    }
    std::vector<SectionMargin> margins;
    if (sink.WantsMarginText(MarginText::kHeader) || sink.WantsMarginText(MarginText::kFooter)) {
        CollectBatchedMargins(mainXml, plans, document, sink, margins);
    }
    pugi::xml_document fragment;  // one batch at a time
    // Parses one step's range (none for a table's start or end); a range that is not
    // well-formed is the part's fault.
    const auto parse = [&](const PlannedPiece& step) -> pugi::xml_node {
        if (!step.HasXml()) {
            return {};
        }
        const pugi::xml_parse_result result = fragment.load_buffer_inplace(
            mainXml.data() + step.begin, step.size, kXmlParseOptions | pugi::parse_fragment,
            pugi::encoding_utf8);
        if (!result) {
            const std::size_t offset = step.begin + static_cast<std::size_t>(result.offset);
            onMalformed(result.description(), offset);
            ThrowDamaged(std::string(mainPart) + " is not well-formed XML (" +
                         result.description() + " at byte " + std::to_string(offset) + ")");
        }
        return fragment;
    };
    std::size_t body = 0;
    std::size_t next = 0;
    bool malformed = false;
    try {
        ReadWithContext(package, mainPart, document, margins, sink,
                        [&](BodyWalker& walker, pugi::xml_node) {
                            for (body = 0; body < plans.size(); ++body) {
                                const std::vector<PlannedPiece>& plan = plans[body];
                                next = 0;
                                walker.WalkStoryPieces([&]() -> Piece {
                                    if (next == plan.size()) {
                                        return {};
                                    }
                                    const PlannedPiece& step = plan[next++];
                                    malformed = true;
                                    const pugi::xml_node parsed = parse(step);
                                    malformed = false;
                                    return {parsed, step.kind};
                                });
                            }
                        });
    } catch (const ConvertError&) {
        // Parsed whole, a part that is not well-formed fails before any of it is read: a fault
        // met while reading an earlier batch gives way to a malformed later one.
        if (!malformed) {
            for (; body < plans.size(); ++body, next = 0) {
                for (; next < plans[body].size(); ++next) {
                    parse(plans[body][next]);
                }
            }
        }
        throw;
    }
}

}  // namespace corvanel::convert::ooxml
