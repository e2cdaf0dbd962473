#include "convert/rtf/RtfParser.h"

#include <algorithm>

namespace corvanel::convert::rtf {

namespace {

constexpr int kBodyOutlineLevel = 9;
constexpr int kMaxHeadingLevel = 6;
constexpr int kMaxListLevel = 8;
constexpr int kOldNumberingBody = 10;  // \pnlvlbody: a numbered list paragraph
constexpr std::size_t kMaxOpenShapes = 64;
constexpr std::string_view kPictureShapeType = "75";

bool WantedShapeProperty(std::string_view name) {
    return name == "gtextUNICODE" || name == "wzDescription" || name == "wzName" ||
           name == "shapeType";
}

}  // namespace

// The style sheet's definitions, and the styles and character formatting of the text.
bool RtfParser::OnStyleWord(const RtfControlWord& word, const RtfToken& token) {
    GroupState& s = State();
    const int param = token.hasParameter ? token.parameter : 0;
    const bool on = !token.hasParameter || param != 0;
    const bool entry = s.destination == Destination::kStyleEntry;
    switch (word.action) {
        case RtfAction::kStyle:
            if (entry) {
                styles_.SetId(word.text == "other" ? -1 : param, word.text == "character");
            } else if (word.text.empty()) {
                s.paragraphStyle = param;
                SetTextStyle(styles_.Chars(param, false));
            } else if (word.text == "character") {
                const TextStyle added = styles_.Chars(param, true);
                SetTextStyle({s.style.bold || added.bold, s.style.italic || added.italic,
                              s.style.strike || added.strike});
            }
            break;
        case RtfAction::kBasedOn:
            if (entry) {
                styles_.SetBasedOn(param);
            }
            break;
        case RtfAction::kOutlineLevel:
            if (entry) {
                styles_.SetOutlineLevel(param);
            } else {
                s.outlineLevel = std::max(param, -1);
            }
            break;
        case RtfAction::kBold:
        case RtfAction::kItalic:
        case RtfAction::kStrike: {
            const int flag =
                word.action == RtfAction::kBold ? 0 : (word.action == RtfAction::kItalic ? 1 : 2);
            if (entry) {
                styles_.SetFlag(flag, on);
            } else {
                TextStyle style = s.style;
                (flag == 0 ? style.bold : (flag == 1 ? style.italic : style.strike)) = on;
                SetTextStyle(style);
            }
            break;
        }
        default:
            return false;
    }
    return true;
}

// The list table, the list override table and the list of each paragraph.
bool RtfParser::OnListWord(const RtfControlWord& word, const RtfToken& token) {
    GroupState& s = State();
    const int param = token.hasParameter ? token.parameter : 0;
    const bool table = s.destination == Destination::kListTable;
    const bool overrides = s.destination == Destination::kListOverrides;
    switch (word.action) {
        case RtfAction::kList:
            if (table) {
                lists_.BeginList();
            }
            break;
        case RtfAction::kListLevel:
            if (table) {
                lists_.BeginLevel();
            }
            break;
        case RtfAction::kLevelFormat:
            if (table) {
                lists_.SetLevelFormat(param);
            }
            break;
        case RtfAction::kListId:
            if (table) {
                lists_.SetListId(param);
            } else if (overrides) {
                lists_.SetOverrideListId(param);
            }
            break;
        case RtfAction::kListOverride:
            if (overrides) {
                lists_.BeginOverride();
            }
            break;
        case RtfAction::kListIndex:
            if (overrides) {
                lists_.SetOverrideIndex(param);
            } else if (!table) {
                s.list = param;
            }
            break;
        case RtfAction::kListLevelIndex:
            s.listLevel = std::clamp(param, 0, kMaxListLevel);
            break;
        default:
            return false;
    }
    return true;
}

// The definition of the outermost table's rows: header rows and merged cells.
bool RtfParser::OnTableWord(const RtfControlWord& word, const RtfToken& /*token*/) {
    const GroupState& s = State();
    const bool ignored = s.nestedTableProps || s.destination == Destination::kStyleEntry;
    RtfRowDefinition& row = emitter_.Row();
    switch (word.action) {
        case RtfAction::kRowDefaults:
            if (!ignored) {
                row.Reset();
            }
            break;
        case RtfAction::kHeaderRow:
            row.header = row.header || !ignored;
            break;
        case RtfAction::kCellMerge:
            if (!ignored) {
                RtfCellMerge& cell = row.pending;
                (word.text == "clmgf"    ? cell.first
                 : word.text == "clmrg"  ? cell.merged
                 : word.text == "clvmgf" ? cell.verticalFirst
                                         : cell.verticalMerged) = true;
            }
            break;
        case RtfAction::kCellEnd:
            if (!ignored) {
                row.EndCell();
            }
            break;
        default:
            return false;
    }
    return true;
}

// The text that follows has `style`: what came before it is delivered first.
void RtfParser::SetTextStyle(TextStyle style) {
    if (!(style == State().style)) {
        FlushText();
        State().style = style;
    }
}

// Destinations read for structure: the style sheet, the list tables, and pictures and shapes
// in the text (for their descriptions and the text WordArt draws).
bool RtfParser::OnShapeWord(const RtfControlWord& word, const RtfToken& /*token*/) {
    GroupState& s = State();
    switch (word.action) {
        case RtfAction::kStyleSheet:
            // Never the document's own group: a misplaced word there is ignored.
            if (!structure_ || s.destination != Destination::kText || stack_.size() <= 2) {
                SkipRestOfGroup();
                break;
            }
            s.destination = Destination::kStyleSheet;
            break;
        case RtfAction::kListTable:
        case RtfAction::kListOverrideTable:
            if (!structure_ || s.destination != Destination::kText || stack_.size() <= 2) {
                SkipRestOfGroup();
                break;
            }
            s.destination = word.action == RtfAction::kListTable ? Destination::kListTable
                                                                 : Destination::kListOverrides;
            break;
        case RtfAction::kPictureGroup:
            if (!InText()) {
                SkipRestOfGroup();
            }
            break;
        case RtfAction::kPicture:
            if (!structure_ || !InText() || shapes_.size() >= kMaxOpenShapes ||
                stack_.size() <= 2) {
                SkipRestOfGroup();
                break;
            }
            shapes_.push_back({stack_.size(), true, false, {}, {}, {}});
            s.destination = Destination::kPicture;
            s.onEnd = OnGroupEnd::kShape;
            break;
        case RtfAction::kPictureProperties:
            if (s.destination != Destination::kPicture) {
                SkipRestOfGroup();
            }
            break;
        case RtfAction::kShape:
            if (InInfo()) {
                SkipRestOfGroup();
                break;
            }
            if (s.destination == Destination::kFontTable) {
                break;
            }
            // Shapes of a group shape are recorded too, each for its own text.
            if ((InText() || (!shapes_.empty() && s.destination == Destination::kNoText)) &&
                shapes_.size() < kMaxOpenShapes && s.onEnd == OnGroupEnd::kNone) {
                shapes_.push_back({stack_.size(), false, false, {}, {}, {}});
                s.onEnd = OnGroupEnd::kShape;
            }
            s.result = Destination::kNoText;
            s.destination = Destination::kNoText;
            break;
        case RtfAction::kShapeProperty:
            if (shapes_.empty() ||
                (s.destination != Destination::kNoText && s.destination != Destination::kPicture)) {
                SkipRestOfGroup();
                break;
            }
            s.destination = Destination::kShapeProperty;
            shapePropertyName_.clear();
            break;
        case RtfAction::kShapePropertyName:
        case RtfAction::kShapePropertyValue: {
            const bool name = word.action == RtfAction::kShapePropertyName;
            if (s.destination != Destination::kShapeProperty ||
                (!name && !WantedShapeProperty(shapePropertyName_))) {
                SkipRestOfGroup();
                break;
            }
            s.destination = Destination::kProperty;
            s.onEnd = name ? OnGroupEnd::kShapeName : OnGroupEnd::kShapeValue;
            s.hidden = false;
            s.deleted = false;
            propertyText_.clear();
            break;
        }
        default:
            return false;
    }
    return true;
}

void RtfParser::SetParagraphStructure(RtfEmitter& out) {
    const GroupState& s = State();
    const int heading = s.outlineLevel >= 0 ? (s.outlineLevel < kBodyOutlineLevel
                                                   ? std::min(s.outlineLevel + 1, kMaxHeadingLevel)
                                                   : 0)
                                            : styles_.HeadingLevel(s.paragraphStyle);
    int listLevel = -1;
    ListKind kind = ListKind::kNumbered;
    if (s.list > 0) {
        if (const auto listKind = lists_.Kind(s.list, s.listLevel)) {
            listLevel = s.listLevel;
            kind = *listKind;
        }
    } else if (const RtfNumbering* numbering = oldNumbering_.Find(s.numbering)) {
        // Old numbering of outline levels 1-9 numbers headings, not list paragraphs.
        if (numbering->kind == RtfNumbering::Kind::kBullet) {
            listLevel = 0;
            kind = ListKind::kBullet;
        } else if (numbering->kind == RtfNumbering::Kind::kLevel &&
                   numbering->level == kOldNumberingBody) {
            listLevel = 0;
        }
    }
    out.SetParagraphStructure(heading, listLevel, kind);
}

void RtfParser::FinishShapeProperty(OnGroupEnd part) {
    std::string text = std::move(propertyText_);
    propertyText_.clear();
    if (shapes_.empty()) {
        return;
    }
    OpenShape& shape = shapes_.back();
    if (part == OnGroupEnd::kShapeName) {
        const auto first = text.find_first_not_of(' ');
        const auto last = text.find_last_not_of(' ');
        shapePropertyName_ =
            first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
        shape.picture = shape.picture || shapePropertyName_ == "pib";
        return;
    }
    if (shapePropertyName_ == "gtextUNICODE") {
        shape.wordArt = std::move(text);
    } else if (shapePropertyName_ == "wzDescription") {
        shape.description = std::move(text);
    } else if (shapePropertyName_ == "wzName") {
        shape.title = std::move(text);
    } else if (shapePropertyName_ == "shapeType") {
        shape.picture = shape.picture || text == kPictureShapeType;
    }
}

// A shape's WordArt text comes as floating text after its anchor's paragraph, as a text
// box's does (unless the shape has a text box of its own); a picture reports its description.
void RtfParser::FinishShape() {
    OpenShape shape = std::move(shapes_.back());
    shapes_.pop_back();
    if (!shape.wordArt.empty() && !shape.hasText) {
        RtfEmitter& out = Out();
        out.StartFloatingText(Level());
        out.SetStyle({});
        std::string_view rest = shape.wordArt;
        while (!rest.empty()) {
            const auto end = rest.find_first_of("\r\n");
            const std::string_view line = rest.substr(0, end);
            if (!line.empty()) {
                out.Text(line, 0);
            }
            out.EndParagraph(0);
            if (end == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(end + (rest.substr(end, 2) == "\r\n" ? 2 : 1));
        }
        out.EndFloatingText();
        ++textShown_;
    } else if (shape.picture) {
        Out().Picture(std::move(shape.description), std::move(shape.title));
    }
}

}  // namespace corvanel::convert::rtf
