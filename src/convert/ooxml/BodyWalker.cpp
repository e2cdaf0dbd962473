#include "convert/ooxml/BodyWalker.h"

#include "convert/ooxml/WordElements.h"
#include "convert/ooxml/WordXml.h"

#include <algorithm>
#include <array>
#include <utility>

namespace corvanel::convert::ooxml {

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
// Headings deeper than this are kept at this level.
constexpr int kMaxHeadingLevel = 6;
// Word makes tables of at most 63 columns; other writers more, but not this many.
constexpr std::int64_t kMaxGridSpan = 1000;

std::int64_t GridSpan(pugi::xml_node tcPr) {
    return std::clamp<std::int64_t>(IntegerVal(Child(tcPr, "gridSpan")).value_or(1), 1,
                                    kMaxGridSpan);
}

// A cell's vertical merge: true where one starts, false in a cell that continues one, nothing
// outside merges.
std::optional<bool> VerticalMerge(pugi::xml_node tcPr) {
    pugi::xml_node vMerge = Child(tcPr, "vMerge");
    if (!vMerge) {
        vMerge = Child(tcPr, "vmerge");  // Word 2003 XML
    }
    if (!vMerge) {
        return std::nullopt;
    }
    return AttrValue(vMerge, "val") == "restart";
}

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
    // A link ends where a nested story (a note, a text box) starts, and goes on after it.
    LinkState outerLink = std::exchange(link_, LinkState{});
    if (std::exchange(outerLink.sent, false)) {
        sink_.EndLink();
    }
    const WordStyles::Toggles outerToggles = paragraphToggles_;
    const TextStyle outerRun = runStyle_;
    const bool outerDue = std::exchange(startDue_, false);
    walkBlocks();
    EndRunOn();
    mergeWithNext_ = outerMerge;
    startDue_ = outerDue;
    fields_ = std::move(outerFields);
    link_ = std::move(outerLink);
    paragraphToggles_ = outerToggles;
    runStyle_ = outerRun;
    sentStyle_.reset();
}

// A shape's own text (WordArt): one paragraph of floating text.
void BodyWalker::ShapeText(std::string_view text) {
    if (text.empty()) {
        return;
    }
    sink_.StartFloatingText();
    InStory([&] {
        sink_.StartParagraph();
        sentStyle_ = TextStyle{};
        ++textShown_;
        sink_.Text(text);
        EndParagraph();
    });
    sink_.EndFloatingText();
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
                    tables_.emplace_back();
                    StartTable();
                    break;
                case Kind::kTableRows:
                    // A merge that runs on into the next batch of rows is measured within
                    // this one only.
                    tables_.back().mergedRows.clear();
                    if (structure_) {
                        MeasureMerges(piece_.blocks);
                    }
                    Rows(piece_.blocks);
                    break;
                case Kind::kTableEnd:
                    sink_.EndTable();
                    tables_.pop_back();
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
        } else if (name == "outlineLvl") {
            const std::int64_t level = IntegerVal(child).value_or(WordStyles::kBodyTextLevel);
            props.outline = level >= 0 && level < WordStyles::kBodyTextLevel
                                ? static_cast<int>(level)
                                : WordStyles::kBodyTextLevel;
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
        // One that shows nothing and whose mark is hidden leaves the paragraph to the next
        // one, which gives it its heading (a run-on paragraph's label stays out, as below).
        const bool due = std::exchange(startDue_, false);
        if (props.markHidden && ShowsNothing(p, props)) {
            startDue_ = true;
            return;
        }
        sink_.StartParagraph();
        sentStyle_ = TextStyle{};
        const int outline = !structure_          ? WordStyles::kBodyTextLevel
                            : props.outline >= 0 ? props.outline
                                                 : context_.styles.OutlineLevel(props.style);
        const bool heading = outline < WordStyles::kBodyTextLevel;
        if (heading) {
            sink_.Heading(std::min(outline + 1, kMaxHeadingLevel));
        }
        if (!due) {
            ListLabel(props, heading);
        }
    }
    const WordStyles::Toggles outerToggles = std::exchange(
        paragraphToggles_,
        structure_ ? context_.styles.StyleToggles(props.style, false) : WordStyles::kUnset);
    Inline(p);
    paragraphToggles_ = outerToggles;
    // So does one whose mark is hidden (a style separator, for one), and a drop cap: its frame
    // holds the first letter of the next paragraph.
    // Whether a paragraph follows is left to what comes next, not to the next sibling:
    // bookmark ends, range marks and content controls may stand between the two paragraphs.
    // A table or the end of the story ends the paragraph after all.
    if (props.markDeleted || props.markHidden || props.dropCap) {
        mergeWithNext_ = true;
    } else {
        EndParagraph();
    }
}

// Whether a paragraph holds nothing that could show: no content, only properties and markers
// (bookmarks, proofing marks), and no list label.
bool BodyWalker::ShowsNothing(pugi::xml_node p, const ParagraphProperties& props) const {
    if (props.numbering || context_.styles.ParagraphNumbering(props.style).listId > 0) {
        return false;
    }
    for (pugi::xml_node child = p.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        const WordElement element = ClassifyElement(child.name());
        if (element != WordElement::kProperties &&
            (element != WordElement::kOther || (DescendUnknown() && child.first_child()))) {
            return false;
        }
    }
    return true;
}

// A paragraph that runs on ends where a table, an imported chunk or the story's end comes
// instead of the next paragraph.
void BodyWalker::EndRunOn() {
    if (std::exchange(startDue_, false)) {
        sink_.StartParagraph();
        mergeWithNext_ = true;
    }
    if (std::exchange(mergeWithNext_, false)) {
        EndParagraph();
    }
}

void BodyWalker::EndParagraph() {
    if (std::exchange(link_.sent, false)) {
        sink_.EndLink();  // a link field's result may go on in the next paragraph
    }
    sink_.EndParagraph();
}

void BodyWalker::ListLabel(const ParagraphProperties& props, bool heading) {
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
        // A numbered heading stays a heading, its label in front.
        if (!heading) {
            sink_.ListItem(std::clamp(level, 0, kListLevels - 1),
                           label->numbered ? ListKind::kNumbered : ListKind::kBullet);
        }
        sink_.ListLabel(label->text, label->suffix);
    }
}

void BodyWalker::AltChunk(pugi::xml_node chunk) {
    if (!context_.readChunk) {
        return;
    }
    EndRunOn();  // the chunk's paragraphs are its own
    context_.readChunk(AttrValue(chunk, "id"), sink_);
}

void BodyWalker::Table(pugi::xml_node tbl) {
    DepthGuard guard(depth_);
    tables_.emplace_back();
    if (structure_) {
        MeasureMerges(tbl);
    }
    StartTable();
    Rows(tbl);
    sink_.EndTable();
    tables_.pop_back();
}

void BodyWalker::StartTable() {
    EndRunOn();
    sink_.StartTable();
}

template <typename Visit>
void BodyWalker::ForEachElement(pugi::xml_node container, WordElement wanted, const Visit& visit) {
    DepthGuard guard(depth_);
    for (pugi::xml_node child = container.first_child(); child; child = child.next_sibling()) {
        const WordElement element = ClassifyElement(child.name());
        if (element == wanted) {
            visit(child);
            continue;
        }
        switch (element) {
            case WordElement::kContentControl:
                ForEachElement(Child(child, "sdtContent"), wanted, visit);
                break;
            case WordElement::kContentControlContent:
            case WordElement::kTransparent:
                ForEachElement(child, wanted, visit);
                break;
            case WordElement::kAlternateContent:
                ForEachElement(ChooseAlternative(child), wanted, visit);
                break;
            case WordElement::kOther:
                if (DescendUnknown() && child.type() == pugi::node_element) {
                    ForEachElement(child, wanted, visit);
                }
                break;
            default:
                break;
        }
    }
}

// How many rows each vertically merged cell of the rows spans: the cells that continue it
// stand in the same grid column of the rows right below.
void BodyWalker::MeasureMerges(pugi::xml_node rows) {
    std::unordered_map<const void*, int>& merged = tables_.back().mergedRows;
    std::vector<std::pair<std::int64_t, const void*>> above;  // (grid column, first cell)
    std::vector<std::pair<std::int64_t, const void*>> current;
    ForEachElement(rows, WordElement::kRow, [&](pugi::xml_node tr) {
        const pugi::xml_node trPr = Child(tr, "trPr");
        if (Child(trPr, "del")) {
            return;
        }
        current.clear();
        std::int64_t column = std::clamp<std::int64_t>(
            IntegerVal(Child(trPr, "gridBefore")).value_or(0), 0, kMaxGridSpan);
        ForEachElement(tr, WordElement::kCell, [&](pugi::xml_node tc) {
            const pugi::xml_node tcPr = Child(tc, "tcPr");
            const std::optional<bool> restart = VerticalMerge(tcPr);
            if (restart == true) {
                merged[tc.internal_object()] = 1;
                current.emplace_back(column, tc.internal_object());
            } else if (restart == false) {
                const auto first = std::lower_bound(
                    above.begin(), above.end(), column,
                    [](const auto& cell, std::int64_t at) { return cell.first < at; });
                if (first != above.end() && first->first == column) {
                    ++merged[first->second];
                    current.emplace_back(column, first->second);
                }
            }
            column += GridSpan(tcPr);
        });
        std::swap(above, current);
    });
}

void BodyWalker::Rows(pugi::xml_node container) {
    ForEachElement(container, WordElement::kRow, [this](pugi::xml_node tr) { Row(tr); });
}

void BodyWalker::Row(pugi::xml_node tr) {
    const pugi::xml_node trPr = Child(tr, "trPr");
    if (Child(trPr, "del")) {
        return;  // a deleted row, accepted
    }
    sink_.StartRow();
    // The rows repeated at the top of each page are the table's header rows.
    if (structure_ && !tables_.empty() && tables_.back().headerRows) {
        if (OnOff(Child(trPr, "tblHeader")).value_or(false)) {
            sink_.HeaderRow();
        } else {
            tables_.back().headerRows = false;
        }
    }
    Cells(tr);
    sink_.EndRow();
}

void BodyWalker::Cells(pugi::xml_node container) {
    ForEachElement(container, WordElement::kCell, [this](pugi::xml_node tc) { Cell(tc); });
}

void BodyWalker::Cell(pugi::xml_node tc) {
    const pugi::xml_node tcPr = Child(tc, "tcPr");
    sink_.StartCell();
    // The continuation of a vertically merged cell shows nothing: its text is in the first.
    if (VerticalMerge(tcPr) == false) {
        sink_.CoveredCell();
    } else if (!structure_) {
        WalkStory(tc);
    } else {
        const int columns = static_cast<int>(GridSpan(tcPr));
        int rows = 1;
        if (!tables_.empty()) {
            const auto merged = tables_.back().mergedRows.find(tc.internal_object());
            rows = merged != tables_.back().mergedRows.end() ? merged->second : 1;
        }
        if (columns > 1 || rows > 1) {
            sink_.CellSpan(columns, rows);
        }
        WalkStory(tc);
    }
    sink_.EndCell();
}

}  // namespace corvanel::convert::ooxml
