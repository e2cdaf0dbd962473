#include "convert/ooxml/BodyWalker.h"

#include "convert/ooxml/WordElements.h"
#include "convert/ooxml/WordXml.h"

#include <algorithm>
#include <array>
#include <utility>

namespace corvanel::convert::word {

namespace {

// Markup-compatibility namespaces whose content this reader understands: drawing shapes and
// groups (their text boxes), Word 2010+ extensions, math, VML.
constexpr std::array<std::string_view, 20> kUnderstoodPrefixes{
    "wps",    "wpg",   "wpc",      "wpi", "wp14", "w14", "w15", "w16", "w16se", "w16cid",
    "w16cex", "w16du", "w16sdtdh", "a14", "m",    "v",   "o",   "w10", "w",     "wne"};

bool Understood(std::string_view required) {
    while (!required.empty()) {
        const size_t space = required.find(' ');
        const std::string_view prefix = required.substr(0, space);
        if (!prefix.empty() && std::find(kUnderstoodPrefixes.begin(), kUnderstoodPrefixes.end(),
                                         prefix) == kUnderstoodPrefixes.end()) {
            return false;
        }
        if (space == std::string_view::npos) {
            break;
        }
        required.remove_prefix(space + 1);
    }
    return true;
}

// Whether anything of a paragraph stays once its tracked deletions are accepted: a run outside
// every deletion (its properties aside). Anything that is not a run sits in one, so a paragraph
// without such a run shows nothing.
bool KeepsARun(pugi::xml_node p) {
    const pugi::xml_node kept = p.find_node([p](pugi::xml_node node) {
        if (LocalName(node.name()) != "r") {
            return false;
        }
        for (pugi::xml_node up = node.parent(); up && up != p; up = up.parent()) {
            const std::string_view name = LocalName(up.name());
            if (name == "del" || name == "moveFrom" || name == "pPr") {
                return false;
            }
        }
        return true;
    });
    return static_cast<bool>(kept);
}

}  // namespace

template <typename WalkBlocks>
void BodyWalker::InStory(WalkBlocks walkBlocks) {
    DepthGuard guard(depth_);
    FieldState outerFields = std::exchange(fields_, FieldState{});
    const bool outerMerge = std::exchange(mergeWithNext_, false);
    walkBlocks();
    if (mergeWithNext_) {
        sink_.EndParagraph();
    }
    mergeWithNext_ = outerMerge;
    fields_ = std::move(outerFields);
}

void BodyWalker::WalkStory(pugi::xml_node container) {
    InStory([&] { Blocks(container); });
}

void BodyWalker::WalkStoryPieces(const std::function<StoryPiece()>& nextPiece) {
    using Kind = StoryPiece::Kind;
    InStory([&] {
        for (piece_ = nextPiece(); piece_.blocks || piece_.kind != Kind::kBlocks;
             piece_ = nextPiece()) {
            switch (piece_.kind) {
                case Kind::kBlocks:
                    Blocks(piece_.blocks);
                    break;
                case Kind::kTableStart:
                    tableInPieces_.emplace(depth_);  // as Table's own guard
                    StartTable();
                    break;
                case Kind::kTableRows:
                    Rows(piece_.blocks);
                    break;
                case Kind::kTableEnd:
                    sink_.EndTable();
                    tableInPieces_.reset();
                    break;
            }
        }
    });
}

pugi::xml_node BodyWalker::ChooseAlternative(pugi::xml_node alternateContent) const {
    // Take one branch only: the first choice this reader understands, else the fallback.
    pugi::xml_node fallback;
    for (pugi::xml_node child = alternateContent.first_child(); child;
         child = child.next_sibling()) {
        if (Is(child, "Choice") && Understood(AttrValue(child, "Requires"))) {
            return child;
        }
        if (Is(child, "Fallback") && !fallback) {
            fallback = child;
        }
    }
    return fallback;
}

bool BodyWalker::AnnotationIsInsertion(pugi::xml_node annotation) {
    return AttrValue(annotation, "type") == "Word.Insertion";
}

// A Word 2003 XML comment (<aml:annotation w:type="Word.Comment">), when the sink wants it.
void BodyWalker::Comment(pugi::xml_node annotation) {
    if (AttrValue(annotation, "type") != "Word.Comment" ||
        !sink_.WantsMarginText(MarginText::kComment)) {
        return;
    }
    sink_.StartMarginText(MarginText::kComment, AttrValue(annotation, "author"));
    WalkStory(Child(annotation, "content"));
    sink_.EndMarginText();
}

void BodyWalker::Blocks(pugi::xml_node container) {
    DepthGuard guard(depth_);
    for (pugi::xml_node child = container.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        switch (ClassifyElement(child.name())) {
            case WordElement::kParagraph:
                Paragraph(child);
                break;
            case WordElement::kTable:
                Table(child);
                break;
            case WordElement::kContentControl:
                Blocks(Child(child, "sdtContent"));
                break;
            case WordElement::kContentControlContent:
            case WordElement::kTransparent:
            case WordElement::kSection:
                Blocks(child);
                break;
            case WordElement::kAlternateContent:
                Blocks(ChooseAlternative(child));
                break;
            case WordElement::kAnnotation:
                if (AnnotationIsInsertion(child)) {
                    Blocks(Child(child, "content"));
                } else {
                    Comment(child);
                }
                break;
            case WordElement::kAltChunk:
                AltChunk(child);
                break;
            case WordElement::kOther:
                if (DescendUnknown()) {
                    Blocks(child);
                }
                break;
            default:
                break;
        }
    }
}

void BodyWalker::Paragraph(pugi::xml_node p) {
    // The properties the text depends on, in one pass over <w:pPr>.
    ParagraphProperties props;
    pugi::xml_node pPr = p.first_child();
    if (!Is(pPr, "pPr")) {
        pPr = Child(p, "pPr");
    }
    for (pugi::xml_node child = pPr.first_child(); child; child = child.next_sibling()) {
        const std::string_view name = LocalName(child.name());
        if (name == "pStyle") {
            props.style = AttrValue(child, "val");
        } else if (name == "numPr") {
            props.numbering = child;
            props.listId = Child(child, "numId");
        } else if (name == "listPr") {  // Word 2003 XML
            props.numbering = child;
            props.listId = Child(child, "ilfo");
        } else if (name == "rPr") {
            props.markDeleted = Child(child, "del");
            props.markHidden = OnOff(Child(child, "vanish")).value_or(false);
        } else if (name == "framePr") {
            props.dropCap = !AttrValue(child, "dropCap").empty();
        }
    }
    // Deleted, mark and all, a paragraph is gone once the deletion is accepted: no line, no
    // label, no number counted. One that ran on into it runs on into the next.
    if (props.markDeleted && !KeepsARun(p)) {
        return;
    }
    // A paragraph whose mark was deleted runs on into the next one once the deletion is
    // accepted.
    if (!std::exchange(mergeWithNext_, false)) {
        sink_.StartParagraph();
        ListLabel(props);
    }
    Inline(p);
    // So does one whose mark is hidden (a style separator, for one), and a drop cap: its frame
    // holds the first letter of the next paragraph.
    // Whether a paragraph follows is left to what comes next, not to the next sibling:
    // bookmark ends, range marks and content controls may stand between the two paragraphs.
    // A table or the end of the story ends the paragraph after all.
    if (props.markDeleted || props.markHidden || props.dropCap) {
        mergeWithNext_ = true;
    } else {
        sink_.EndParagraph();
    }
}

void BodyWalker::ListLabel(const ParagraphProperties& props) {
    std::int64_t listId = -1;
    int level = -1;
    if (const auto id = IntegerVal(props.listId)) {
        listId = *id;
    }
    if (const auto ilvl = IntegerVal(Child(props.numbering, "ilvl"))) {
        // Kept out of range when it is: the numbering treats such a level as broken.
        level = static_cast<int>(std::clamp<std::int64_t>(*ilvl, 0, kListLevels));
    }
    if (listId < 0 || level < 0) {
        const WordStyles::Numbering fromStyle = context_.styles.ParagraphNumbering(props.style);
        if (listId < 0) {
            listId = fromStyle.listId;
        }
        if (level < 0 && listId > 0) {
            level = fromStyle.level >= 0 ? fromStyle.level
                                         : context_.Numbering().LevelForStyle(listId, props.style);
        }
    }
    if (listId <= 0) {
        return;
    }
    if (const auto label = context_.Numbering().Next(listId, std::max(level, 0))) {
        sink_.ListLabel(label->text, label->suffix);
    }
}

void BodyWalker::AltChunk(pugi::xml_node chunk) {
    if (!context_.readChunk) {
        return;
    }
    if (std::exchange(mergeWithNext_, false)) {
        sink_.EndParagraph();  // the chunk's paragraphs are its own
    }
    context_.readChunk(AttrValue(chunk, "id"), sink_);
}

void BodyWalker::Table(pugi::xml_node tbl) {
    DepthGuard guard(depth_);
    StartTable();
    Rows(tbl);
    sink_.EndTable();
}

void BodyWalker::StartTable() {
    if (std::exchange(mergeWithNext_, false)) {
        sink_.EndParagraph();
    }
    sink_.StartTable();
}

void BodyWalker::Rows(pugi::xml_node container) {
    DepthGuard guard(depth_);
    for (pugi::xml_node child = container.first_child(); child; child = child.next_sibling()) {
        switch (ClassifyElement(child.name())) {
            case WordElement::kRow:
                Row(child);
                break;
            case WordElement::kContentControl:
                Rows(Child(child, "sdtContent"));
                break;
            case WordElement::kContentControlContent:
            case WordElement::kTransparent:
                Rows(child);
                break;
            case WordElement::kAlternateContent:
                Rows(ChooseAlternative(child));
                break;
            case WordElement::kOther:
                if (DescendUnknown() && child.type() == pugi::node_element) {
                    Rows(child);
                }
                break;
            default:
                break;
        }
    }
}

void BodyWalker::Row(pugi::xml_node tr) {
    if (Child(Child(tr, "trPr"), "del")) {
        return;  // a deleted row, accepted
    }
    sink_.StartRow();
    Cells(tr);
    sink_.EndRow();
}

void BodyWalker::Cells(pugi::xml_node container) {
    DepthGuard guard(depth_);
    for (pugi::xml_node child = container.first_child(); child; child = child.next_sibling()) {
        switch (ClassifyElement(child.name())) {
            case WordElement::kCell:
                Cell(child);
                break;
            case WordElement::kContentControl:
                Cells(Child(child, "sdtContent"));
                break;
            case WordElement::kContentControlContent:
            case WordElement::kTransparent:
                Cells(child);
                break;
            case WordElement::kAlternateContent:
                Cells(ChooseAlternative(child));
                break;
            case WordElement::kOther:
                if (DescendUnknown() && child.type() == pugi::node_element) {
                    Cells(child);
                }
                break;
            default:
                break;
        }
    }
}

void BodyWalker::Cell(pugi::xml_node tc) {
    const pugi::xml_node tcPr = Child(tc, "tcPr");
    pugi::xml_node vMerge = Child(tcPr, "vMerge");
    if (!vMerge) {
        vMerge = Child(tcPr, "vmerge");  // Word 2003 XML
    }
    sink_.StartCell();
    // The continuation of a vertically merged cell shows nothing: its text is in the first.
    if (!vMerge || AttrValue(vMerge, "val") == "restart") {
        WalkStory(tc);
    }
    sink_.EndCell();
}

}  // namespace corvanel::convert::word
