// Word 2003 XML ("WordprocessingML 2003", <w:wordDocument>): one XML file with the lists, styles
// and body inline. The body uses the vocabulary of later packages, so the package reader's body
// walker reads it; only the lists and the surroundings differ.

#include "convert/core/ConvertError.h"
#include "convert/core/PropertyValues.h"
#include "convert/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/core/XmlDocument.h"
#include "convert/ooxml/BodyWalker.h"
#include "convert/ooxml/SectionMargins.h"
#include "convert/ooxml/WordContext.h"
#include "convert/ooxml/WordXml.h"

#include <string>
#include <vector>

namespace corvanel::convert {

namespace {

using ooxml::AttrValue;
using ooxml::Child;
using ooxml::ChildVal;
using ooxml::Is;
using ooxml::ParseInteger;

// <w:lists>: <w:listDef w:listDefId> holds the levels, <w:list w:ilfo> is a list instance
// (<w:ilst> names its definition) that paragraphs name through <w:listPr><w:ilfo>.
void LoadLists(pugi::xml_node lists, ooxml::WordNumbering& numbering) {
    for (pugi::xml_node node = lists.first_child(); node; node = node.next_sibling()) {
        if (Is(node, "listDef")) {
            const auto id = ParseInteger(AttrValue(node, "listDefId"));
            if (!id) {
                continue;
            }
            ooxml::ListLevel* levels = numbering.AddAbstract(*id, ChildVal(node, "listStyleLink"),
                                                            ChildVal(node, "styleLink"));
            for (pugi::xml_node lvl = node.first_child(); lvl; lvl = lvl.next_sibling()) {
                const auto index = ParseInteger(AttrValue(lvl, "ilvl"));
                if (Is(lvl, "lvl") && index && *index >= 0 && *index < ooxml::kListLevels) {
                    ooxml::ReadListLevel(lvl, levels[*index]);
                }
            }
        } else if (Is(node, "list")) {
            const auto id = ParseInteger(AttrValue(node, "ilfo"));
            const auto definition = ooxml::IntegerVal(Child(node, "ilst"));
            if (!id || !definition) {
                continue;
            }
            ooxml::WordNumbering::Instance& instance = numbering.AddInstance(*id, *definition);
            for (pugi::xml_node o = node.first_child(); o; o = o.next_sibling()) {
                const auto index = ParseInteger(AttrValue(o, "ilvl"));
                if (!Is(o, "lvlOverride") || !index || *index < 0 || *index >= ooxml::kListLevels) {
                    continue;
                }
                if (const auto start = ooxml::IntegerVal(Child(o, "startOverride"))) {
                    numbering.SetStartOverride(instance, static_cast<int>(*index), *start);
                }
                if (pugi::xml_node lvl = Child(o, "lvl")) {
                    ooxml::ReadListLevel(
                        lvl, numbering.OverrideLevel(instance, static_cast<int>(*index)));
                }
            }
        }
    }
}

// <o:DocumentProperties>: what Word states about the document, as in a package's core and
// extended properties.
void SendDocumentProperties(pugi::xml_node properties, DocumentSink& sink) {
    for (pugi::xml_node node = properties.first_child(); node; node = node.next_sibling()) {
        const std::string_view text = node.text().get();
        if (Is(node, "Title")) {
            SendText(sink, DocumentProperty::kTitle, text);
        } else if (Is(node, "Author")) {
            SendText(sink, DocumentProperty::kAuthor, text);
        } else if (Is(node, "Created")) {
            SendIsoDate(sink, DocumentProperty::kCreated, text);
        } else if (Is(node, "LastSaved")) {
            SendIsoDate(sink, DocumentProperty::kModified, text);
        } else if (Is(node, "Pages")) {
            SendCount(sink, DocumentProperty::kPages, text);
        } else if (Is(node, "Words")) {
            SendCount(sink, DocumentProperty::kWords, text);
        }
    }
}

}  // namespace

void ReadWordml2003(SourceFile& source, DocumentSink& sink) {
    std::string buffer = source.TakeBytes();
    pugi::xml_document xml;
    try {
        ParseXmlInPlace(xml, buffer, "the Word XML document");
    } catch (const ConvertError&) {
        sink.Format("wordml");  // its root element made it one; it is damaged past that
        throw;
    }
    const pugi::xml_node root = xml.document_element();
    if (!Is(root, "wordDocument")) {
        ThrowNotReadable("the XML is not a Word XML document");
    }
    sink.Format("wordml");
    if (sink.WantsProperties()) {
        SendDocumentProperties(Child(root, "DocumentProperties"), sink);
    }

    ooxml::WordContext context;
    context.dialect = ooxml::Dialect::kWord2003;
    context.styles.Load(Child(root, "styles"));
    context.loadNumbering = [lists = Child(root, "lists")](ooxml::WordNumbering& numbering) {
        LoadLists(lists, numbering);
    };
    const pugi::xml_node docPr = Child(root, "docPr");
    ooxml::ReadNoteMarkFormat(Child(docPr, "footnotePr"), context.footnoteMarks);
    ooxml::ReadNoteMarkFormat(Child(docPr, "endnotePr"), context.endnoteMarks);

    ooxml::BodyWalker walker(context, sink);
    const pugi::xml_node body = Child(root, "body");
    if (sink.WantsMarginText(MarginText::kHeader) || sink.WantsMarginText(MarginText::kFooter)) {
        // Headers and footers sit in the section properties themselves.
        std::vector<ooxml::SectionMargin> margins;
        ooxml::CollectSectionMargins(body, sink, margins);
        ooxml::SendSectionMargins(
            margins, [](std::string_view) { return pugi::xml_node(); }, walker, sink);
    }
    walker.WalkStory(body);
}

}  // namespace corvanel::convert
