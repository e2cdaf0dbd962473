#include "convert/rtf/RtfParser.h"

#include "convert/core/ConvertError.h"
#include "convert/core/HyperlinkField.h"
#include "convert/core/Limits.h"
#include "convert/core/TextEncoding.h"
#include "convert/rtf/RtfControlWords.h"

#include <algorithm>

namespace corvanel::convert::rtf {

void RtfParser::OnSymbol(char symbol) {
    switch (symbol) {
        case '\\':
        case '{':
        case '}':
            EndUnpairedSurrogate();
            OnText(std::string_view(&symbol, 1));
            return;
        case '*':
            State().starred = true;
            return;
        default:
            break;
    }
    EndUnpairedSurrogate();
    FlushText();
    State().starred = false;
    if (!Visible()) {
        return;
    }
    switch (symbol) {
        case '~':
            Deliver("\xC2\xA0", SymbolFontKind::kOther);
            break;
        case '_':
            Deliver("-", SymbolFontKind::kOther);
            break;
        case '\n':
            if (InText()) {
                Content().EndParagraph(Level());
            }
            break;
        default:
            break;  // \- (optional hyphen), \: and \| show nothing
    }
}

void RtfParser::OnWord(const RtfToken& token) {
    const RtfControlWord word = LookUpControlWord(token.word);
    GroupState& s = State();
    if (s.starred) {
        s.starred = false;
        // \* hides a destination the reader does not know; a known word goes on as usual.
        if (word.action == RtfAction::kNone) {
            SkipRestOfGroup();
            return;
        }
    }
    if (word.action == RtfAction::kNone || word.action == RtfAction::kFormatting) {
        return;
    }
    // Words that only describe structure leave the text as it is: pending characters are
    // delivered only when the style of what follows changes.
    if (OnStyleWord(word, token) || OnListWord(word, token) || OnTableWord(word, token)) {
        return;
    }
    if (word.action != RtfAction::kUnicode && word.action != RtfAction::kUnicodeSkip) {
        EndUnpairedSurrogate();
    }
    FlushText();
    // Each family handles its own words and answers false to the others'.
    static_cast<void>(OnDestinationWord(word, token) || OnNumberingWord(word, token) ||
                      OnFontWord(word, token) || OnFormattingWord(word, token) ||
                      OnContentWord(word, token) || OnNoteWord(word, token) ||
                      OnShapeWord(word, token));
}

// Words that start a destination: which text of the group is shown, and where it goes.
bool RtfParser::OnDestinationWord(const RtfControlWord& word, const RtfToken& token) {
    GroupState& s = State();
    switch (word.action) {
        case RtfAction::kSkipDestination:
            SkipRestOfGroup();
            break;
        case RtfAction::kInfo:
        case RtfAction::kInfoText:
        case RtfAction::kInfoDate:
        case RtfAction::kInfoCount:
        case RtfAction::kDatePart:
            OnInfoWord(word, token);
            break;
        case RtfAction::kFontTable:
            s.destination = Destination::kFontTable;
            s.onEnd = OnGroupEnd::kFontTable;
            fontBeingDefined_ = -1;
            break;
        case RtfAction::kListText:
            if (!InText()) {
                SkipRestOfGroup();
                break;
            }
            s.destination = Destination::kListText;
            s.onEnd = OnGroupEnd::kListText;
            label_.clear();
            labelSymbol_ = SymbolFontKind::kOther;
            break;
        case RtfAction::kTextDestination:
            if (InInfo()) {
                SkipRestOfGroup();
            } else if (s.destination != Destination::kFontTable) {
                s.destination = s.result;
                // A hyperlink field's result is the link's text.
                if (structure_ && token.word == "fldrslt" && !fields_.empty() && InText() &&
                    fields_.back().groupDepth + 1 == stack_.size()) {
                    if (auto link = ParseHyperlinkField(fields_.back().code)) {
                        fields_.back().link = true;
                        Out().StartLink(std::move(link->target), link->internal);
                    }
                }
            }
            break;
        case RtfAction::kNoTextDestination:
            if (InInfo()) {
                SkipRestOfGroup();
            } else if (s.destination != Destination::kFontTable) {
                const bool field = token.word == "field";
                if (field && InText() && s.onEnd == OnGroupEnd::kNone) {
                    fields_.push_back({{}, textShown_, stack_.size()});
                    s.onEnd = OnGroupEnd::kField;
                }
                if (token.word == "nesttableprops") {
                    s.nestedTableProps = true;
                }
                const bool keepsResult = field || token.word == "object";
                s.result = keepsResult ? s.destination : Destination::kNoText;
                s.destination = Destination::kNoText;
            }
            break;
        case RtfAction::kFieldCode:
            // Only the code of a field met in the text, in a group of the field's own.
            if (fields_.empty() || fields_.back().groupDepth + 1 != stack_.size() ||
                s.onEnd != OnGroupEnd::kNone) {
                SkipRestOfGroup();
                break;
            }
            s.destination = Destination::kFieldCode;
            s.inFieldCode = true;
            break;
        case RtfAction::kUpr:
            if (InInfo()) {
                SkipRestOfGroup();
            } else if (s.destination != Destination::kFontTable) {
                s.result = s.destination;
                s.destination = Destination::kNoText;
            }
            break;
        case RtfAction::kFootnote:
            if (noteDepth_ > 0 || !InText()) {
                SkipRestOfGroup();
                break;
            }
            ++noteDepth_;
            s.onEnd = OnGroupEnd::kNote;
            s.inTable = false;
            s.nestingLevel = 0;
            notePending_ = true;
            noteKind_ = NoteKind::kFootnote;
            break;
        case RtfAction::kMarginText:
        case RtfAction::kAnnotation: {
            const MarginText kind = word.action == RtfAction::kAnnotation ? MarginText::kComment
                                    : word.text == "header"               ? MarginText::kHeader
                                                                          : MarginText::kFooter;
            if (!sink_.WantsMarginText(kind) || marginDepth_ > 0 || noteDepth_ > 0 || !InText()) {
                SkipRestOfGroup();
                break;
            }
            ++marginDepth_;
            Out().StartMarginText(kind, kind == MarginText::kComment ? commentAuthor_ : "");
            commentAuthor_.clear();
            s.destination = Destination::kText;
            s.result = Destination::kText;
            s.onEnd = OnGroupEnd::kMargin;
            s.inTable = false;
            s.nestingLevel = 0;
            break;
        }
        case RtfAction::kAnnotationAuthor:
            // Word gives the author before the comment; one inside it comes too late.
            if (!sink_.WantsMarginText(MarginText::kComment) || marginDepth_ > 0 || !InText()) {
                SkipRestOfGroup();
                break;
            }
            s.destination = Destination::kProperty;
            s.onEnd = OnGroupEnd::kCommentAuthor;
            propertyText_.clear();
            break;
        case RtfAction::kNumbering:
            if (s.destination != Destination::kText) {
                SkipRestOfGroup();
                break;
            }
            s.destination = Destination::kNumbering;
            s.onEnd = OnGroupEnd::kNumbering;
            numbering_ = {};
            numberingBefore_.clear();
            numberingAfter_.clear();
            numberingCodePage_ = s.codePage;
            break;
        case RtfAction::kFloatingText:
            if (s.destination == Destination::kFontTable ||
                s.destination == Destination::kListText || InInfo() || s.hidden || s.deleted ||
                s.inFieldCode) {
                SkipRestOfGroup();
                break;
            }
            if (!shapes_.empty()) {
                shapes_.back().hasText = true;
            }
            Out().StartFloatingText(Level());
            s.destination = Destination::kText;
            s.result = Destination::kText;
            s.onEnd = OnGroupEnd::kFloating;
            s.inTable = false;
            s.nestingLevel = 0;
            break;
        default:
            return false;
    }
    return true;
}

// Words inside an old-style paragraph numbering ({\pn ...}).
bool RtfParser::OnNumberingWord(const RtfControlWord& word, const RtfToken& token) {
    GroupState& s = State();
    const int param = token.parameter;
    switch (word.action) {
        case RtfAction::kNumberingBefore:
        case RtfAction::kNumberingAfter:
            if (s.destination == Destination::kNumbering) {
                s.destination = word.action == RtfAction::kNumberingBefore
                                    ? Destination::kNumberingBefore
                                    : Destination::kNumberingAfter;
            } else {
                SkipRestOfGroup();
            }
            break;
        case RtfAction::kNumberingLevel:
            if (s.destination == Destination::kNumbering) {
                numbering_.kind = RtfNumbering::Kind::kLevel;
                numbering_.level = token.hasParameter ? param : 10;
            }
            break;
        case RtfAction::kNumberingBullet:
            if (s.destination == Destination::kNumbering) {
                numbering_.kind = RtfNumbering::Kind::kBullet;
            }
            break;
        case RtfAction::kNumberingNone:
            if (s.destination == Destination::kNumbering) {
                numbering_.kind = RtfNumbering::Kind::kContinuation;
            }
            break;
        case RtfAction::kNumberingFormat:
            if (s.destination == Destination::kNumbering) {
                numbering_.format = NumberFormatFromName(word.text);
            }
            break;
        case RtfAction::kNumberingStart:
            if (s.destination == Destination::kNumbering) {
                numbering_.start = param;
            }
            break;
        case RtfAction::kNumberingFont:
            if (s.destination == Destination::kNumbering) {
                GroupState font = s;
                font.font = param;
                ApplyFont(font);
                numbering_.font = font.symbol;
                numberingCodePage_ = font.codePage;
            }
            break;
        default:
            return false;
    }
    return true;
}

// The document's code page, the font table and the current font.
bool RtfParser::OnFontWord(const RtfControlWord& word, const RtfToken& token) {
    GroupState& s = State();
    const int param = token.parameter;
    switch (word.action) {
        case RtfAction::kAnsi:
            documentCodePage_ = 1252;
            ApplyFont(s);
            break;
        case RtfAction::kMac:
            documentCodePage_ = 10000;
            ApplyFont(s);
            break;
        case RtfAction::kPc:
            documentCodePage_ = 437;
            ApplyFont(s);
            break;
        case RtfAction::kPca:
            documentCodePage_ = 850;
            ApplyFont(s);
            break;
        case RtfAction::kAnsiCodePage:
            if (param > 0) {
                documentCodePage_ = param;
                ApplyFont(s);
            }
            break;
        case RtfAction::kDefaultFont:
            defaultFont_ = param;
            ApplyFont(s);
            break;
        case RtfAction::kFont:
            if (s.destination == Destination::kFontTable) {
                FinishFontName();
                fontBeingDefined_ = param;
                fontNameDone_ = false;
                fontName_.clear();
                fonts_[param];
            } else {
                s.font = param;
                ApplyFont(s);
            }
            break;
        case RtfAction::kFontCharset:
            if (s.destination == Destination::kFontTable && fontBeingDefined_ >= 0) {
                fonts_[fontBeingDefined_].charset = param;
            }
            break;
        case RtfAction::kFontCodePage:
            if (s.destination == Destination::kFontTable && fontBeingDefined_ >= 0) {
                fonts_[fontBeingDefined_].codePage = param;
            }
            break;
        case RtfAction::kPlain:
            s.style = {};
            s.hidden = false;
            s.deleted = false;
            s.font = -1;
            ApplyFont(s);
            break;
        default:
            return false;
    }
    return true;
}

// Paragraph and character state that decides what is shown and how it nests.
bool RtfParser::OnFormattingWord(const RtfControlWord& word, const RtfToken& token) {
    GroupState& s = State();
    const int param = token.parameter;
    const bool on = !token.hasParameter || param != 0;
    switch (word.action) {
        case RtfAction::kParagraphDefaults:
            s.inTable = false;
            s.nestingLevel = 0;
            s.numbering = -1;
            s.paragraphStyle = 0;
            s.outlineLevel = -1;
            s.list = 0;
            s.listLevel = 0;
            break;
        case RtfAction::kInTable:
            s.inTable = on;
            break;
        case RtfAction::kNestingLevel:
            s.nestingLevel = std::clamp(param, 0, kMaxTableLevel);
            break;
        case RtfAction::kHidden:
            s.hidden = on;
            break;
        case RtfAction::kDeleted:
            s.deleted = on;
            break;
        case RtfAction::kUnicodeSkip:
            s.unicodeSkip = std::clamp(param, 0, kMaxUnicodeSkip);
            break;
        default:
            return false;
    }
    return true;
}

// Words that stand for text or structure: paragraphs, breaks, tabs, cells, rows, characters.
bool RtfParser::OnContentWord(const RtfControlWord& word, const RtfToken& token) {
    GroupState& s = State();
    const int param = token.parameter;
    switch (word.action) {
        case RtfAction::kUnicode:
            OnUnicode(param);
            unicodeSkipLeft_ = s.unicodeSkip;
            break;
        case RtfAction::kParagraph:
            if (InText()) {
                Content().EndParagraph(Level());
            }
            break;
        case RtfAction::kLine:
        case RtfAction::kPage:
        case RtfAction::kColumn:
            if (InText()) {
                const BreakKind kind = word.action == RtfAction::kLine   ? BreakKind::kLine
                                       : word.action == RtfAction::kPage ? BreakKind::kPage
                                                                         : BreakKind::kColumn;
                Content().Break(kind, Level());
            }
            break;
        case RtfAction::kTab:
            if (InText()) {
                Content().Tab(Level());
            } else if (s.destination == Destination::kProperty) {
                propertyText_.push_back(' ');
            } else if (s.destination == Destination::kFieldCode) {
                AppendFieldCode(" ");
            } else if (Visible()) {
                label_.push_back('\t');
            }
            break;
        case RtfAction::kSection:
            if (InText()) {
                Out().EndSection();
            }
            break;
        case RtfAction::kCell:
        case RtfAction::kNestedCell:
            if (s.destination == Destination::kText || s.destination == Destination::kNoText) {
                Out().EndCell(word.action == RtfAction::kCell ? 1 : std::max(s.nestingLevel, 1));
            }
            break;
        case RtfAction::kRow:
        case RtfAction::kNestedRow:
            if (s.destination == Destination::kText || s.destination == Destination::kNoText) {
                Out().EndRow(word.action == RtfAction::kRow ? 1 : std::max(s.nestingLevel, 1));
            }
            break;
        case RtfAction::kCharacter:
            if (Visible()) {
                Deliver(word.text, SymbolFontKind::kOther);
            }
            break;
        default:
            return false;
    }
    return true;
}

// Note references and the number formats of notes.
bool RtfParser::OnNoteWord(const RtfControlWord& word, const RtfToken& /*token*/) {
    switch (word.action) {
        case RtfAction::kNoteMark:
            if (noteDepth_ == 0 && InText()) {
                referencePending_ = true;
                referenceLevel_ = Level();
            }
            break;
        case RtfAction::kEndnote:
            if (notePending_) {
                noteKind_ = NoteKind::kEndnote;
            }
            break;
        case RtfAction::kFootnoteFormat:
            footnoteFormat_ = NumberFormatFromName(word.text);
            break;
        case RtfAction::kEndnoteFormat:
            endnoteFormat_ = NumberFormatFromName(word.text);
            break;
        default:
            return false;
    }
    return true;
}

void RtfParser::OnInfoWord(const RtfControlWord& word, const RtfToken& token) {
    GroupState& s = State();
    const auto propertyNamed = [](std::string_view name) {
        return name == "title"      ? DocumentProperty::kTitle
               : name == "author"   ? DocumentProperty::kAuthor
               : name == "created"  ? DocumentProperty::kCreated
               : name == "modified" ? DocumentProperty::kModified
               : name == "pages"    ? DocumentProperty::kPages
                                    : DocumentProperty::kWords;
    };
    switch (word.action) {
        case RtfAction::kInfo:
            if (!sink_.WantsProperties() || s.destination != Destination::kText) {
                SkipRestOfGroup();
                return;
            }
            s.destination = Destination::kInfo;
            return;
        case RtfAction::kInfoText:
        case RtfAction::kInfoDate:
            if (s.destination != Destination::kInfo) {
                SkipRestOfGroup();
                return;
            }
            property_ = propertyNamed(word.text);
            s.hidden = false;
            s.deleted = false;
            if (word.action == RtfAction::kInfoText) {
                s.destination = Destination::kProperty;
                s.onEnd = OnGroupEnd::kProperty;
                propertyText_.clear();
            } else {
                s.destination = Destination::kDate;
                s.onEnd = OnGroupEnd::kDate;
                date_ = {};
            }
            return;
        case RtfAction::kInfoCount:
            if (s.destination == Destination::kInfo && token.hasParameter) {
                SendCount(sink_, propertyNamed(word.text), std::int64_t{token.parameter});
            }
            return;
        case RtfAction::kDatePart:
            if (s.destination == Destination::kDate) {
                const int value = token.parameter;
                (word.text == "yr"    ? date_.year
                 : word.text == "mo"  ? date_.month
                 : word.text == "dy"  ? date_.day
                 : word.text == "hr"  ? date_.hour
                 : word.text == "min" ? date_.minute
                                      : date_.second) = value;
            }
            return;
        default:
            return;
    }
}

void RtfParser::FinishProperty() {
    SendText(sink_, property_, propertyText_);
    propertyText_.clear();
}

// The date as stated, without a zone: RTF gives none.
void RtfParser::FinishDate() {
    const std::string date = FormatStatedTime(date_);
    if (!date.empty()) {
        sink_.Property(property_, date);
    }
}

}  // namespace corvanel::convert::rtf
