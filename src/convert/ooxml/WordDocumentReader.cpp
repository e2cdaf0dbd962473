#include "convert/core/ConvertError.h"
#include "convert/ooxml/BodyBlocks.h"
#include "convert/ooxml/BodyWalker.h"
#include "convert/ooxml/PackageRelationships.h"
#include "convert/ooxml/WordContext.h"
#include "convert/ooxml/WordPackage.h"
#include "convert/ooxml/WordXml.h"

#include <string>
#include <vector>

namespace corvanel::convert::word {

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
// `walkBodies` walk the bodies. `document` has the first body's section properties.
template <typename WalkBodies>
void ReadWithContext(WordPackage& package, std::string_view mainPart, pugi::xml_node document,
                     DocumentSink& sink, WalkBodies walkBodies) {
    const std::vector<Relationship> rels =
        ReadRelationships(OptionalPart(package, RelationshipsPartName(mainPart)));
    const auto related = [&](std::string_view kind) {
        return OptionalPart(package, FindRelatedPart(rels, mainPart, kind));
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

    BodyWalker walker(context, sink);
    walkBodies(walker, body);
}

}  // namespace

void ReadWordDocument(WordPackage& package, std::string_view mainPart, pugi::xml_node document,
                      DocumentSink& sink) {
    ReadWithContext(package, mainPart, document, sink, [](BodyWalker& walker, pugi::xml_node body) {
        // Some writers split the body in several <w:body> elements; all of
        // them are text.
        for (pugi::xml_node part = body; part; part = part.next_sibling()) {
            if (Is(part, "body")) {
                walker.WalkStory(part);
            }
        }
    });
}

void ReadWordDocument(WordPackage& package, std::string_view mainPart, pugi::xml_node document,
                      std::string& mainXml, const BodyBlocks& blocks,
                      const std::function<void(std::string_view, std::size_t)>& onMalformed,
                      DocumentSink& sink) {
    ReadWithContext(package, mainPart, document, sink, [&](BodyWalker& walker, pugi::xml_node) {
        pugi::xml_document fragment;  // one batch at a time
        for (const std::vector<BodyBlocks::Batch>& batches : blocks.bodies) {
            std::size_t next = 0;
            walker.WalkStoryPieces([&]() -> BodyWalker::StoryPiece {
                if (next == batches.size()) {
                    return {};
                }
                const BodyBlocks::Batch& batch = batches[next++];
                const pugi::xml_parse_result result = fragment.load_buffer_inplace(
                    mainXml.data() + batch.begin, batch.size,
                    kXmlParseOptions | pugi::parse_fragment, pugi::encoding_utf8);
                if (!result) {
                    const std::size_t offset =
                        batch.begin + static_cast<std::size_t>(result.offset);
                    onMalformed(result.description(), offset);
                    ThrowDamaged(std::string(mainPart) + " is not well-formed XML (" +
                                 result.description() + " at byte " + std::to_string(offset) + ")");
                }
                return {fragment, batch.followedByParagraph};
            });
        }
    });
}

}  // namespace corvanel::convert::word
