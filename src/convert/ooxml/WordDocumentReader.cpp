#include "convert/core/ConvertError.h"
#include "convert/ooxml/BodyWalker.h"
#include "convert/ooxml/PackageRelationships.h"
#include "convert/ooxml/WordContext.h"
#include "convert/ooxml/WordPackage.h"
#include "convert/ooxml/WordXml.h"

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

void ReadWordDocument(WordPackage& package, std::string_view mainPart, pugi::xml_node document,
                      DocumentSink& sink) {
    const std::vector<Relationship> rels =
        ReadRelationships(OptionalPart(package, RelationshipsPartName(mainPart)));
    const auto related = [&](std::string_view kind) {
        return OptionalPart(package, FindRelatedPart(rels, mainPart, kind));
    };

    const pugi::xml_node body = Child(document, "body");
    WordContext context;
    context.styles.Load(related("styles"));
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

    // Some writers split the body in several <w:body> elements; all of them are text.
    BodyWalker walker(context, sink);
    for (pugi::xml_node part = body; part; part = part.next_sibling()) {
        if (Is(part, "body")) {
            walker.WalkStory(part);
        }
    }
}

}  // namespace corvanel::convert::word
