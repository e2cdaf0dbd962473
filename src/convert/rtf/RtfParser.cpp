#include "convert/rtf/RtfParser.h"

#include "convert/core/ConvertError.h"
#include "convert/core/EqField.h"
#include "convert/core/Limits.h"
#include "convert/core/TextEncoding.h"
#include "convert/core/Utf16.h"
#include "convert/rtf/RtfControlWords.h"

#include <algorithm>

namespace corvanel::convert::rtf {

namespace {

constexpr std::size_t kMaxPictureGroups = 4;

// A list label set in a symbol font: numbers ("1.", "(a)" in Symbol) keep their digits and
// punctuation, which the Symbol font shows as they are; anything else is a bullet glyph.
std::string SymbolFontLabel(const std::string& label, SymbolFontKind font) {
    const bool number =
        font == SymbolFontKind::kSymbol &&
        std::any_of(label.begin(), label.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
        std::all_of(label.begin(), label.end(), [](char c) {
            return (c >= '0' && c <= '9') || c == '.' || c == ')' || c == '(' || c == '-' ||
                   c == ' ';
        });
    return number ? label : BulletText(label, font);
}

}  // namespace

void RtfParser::Run() {
    for (;;) {
        const RtfToken token = tokenizer_.Next();
        if (token.kind == RtfToken::Kind::kEnd) {
            break;
        }
        if (token.kind == RtfToken::Kind::kGroupStart) {
            StartGroup();
            continue;
        }
        if (token.kind == RtfToken::Kind::kGroupEnd) {
            if (stack_.size() > 1) {
                EndGroup();
            }
            if (stack_.size() == 1) {
                break;  // the document's group is closed; anything after it is not read
            }
            continue;
        }
        std::string_view text = token.word;
        if (unicodeSkipLeft_ > 0) {
            // The fallback of the last \u: literal bytes, \'hh and escaped characters count one
            // each. Writers that give no fallback go straight on with a control word (\tab, \par):
            // that ends the fallback rather than being swallowed by it.
            const bool literal =
                token.kind == RtfToken::Kind::kHexByte ||
                (token.kind == RtfToken::Kind::kControlSymbol &&
                 (token.symbol == '\\' || token.symbol == '{' || token.symbol == '}'));
            if (literal) {
                --unicodeSkipLeft_;
                continue;
            }
            if (token.kind == RtfToken::Kind::kText) {
                const auto skipped = std::min<std::size_t>(text.size(), unicodeSkipLeft_);
                unicodeSkipLeft_ -= static_cast<int>(skipped);
                text.remove_prefix(skipped);
            } else {
                unicodeSkipLeft_ = 0;
            }
        }
        switch (token.kind) {
            case RtfToken::Kind::kText:
                if (!text.empty()) {
                    EndUnpairedSurrogate();
                    OnText(text);
                }
                break;
            case RtfToken::Kind::kHexByte: {
                EndUnpairedSurrogate();
                const char byte = static_cast<char>(token.byte);
                OnText(std::string_view(&byte, 1));
                break;
            }
            case RtfToken::Kind::kControlSymbol:
                OnSymbol(token.symbol);
                break;
            case RtfToken::Kind::kControlWord:
                OnWord(token);
                break;
            default:
                break;
        }
    }
    EndUnpairedSurrogate();
    FlushText();
    if (notePending_) {
        BeginPendingNote();
    }
    emitter_.Finish();
}

RtfEmitter& RtfParser::Out() {
    if (notePending_) {
        BeginPendingNote();
    }
    return emitter_;
}

// Out() for content that may start a paragraph: the paragraph gets its Word 6 number first.
RtfEmitter& RtfParser::Content() {
    RtfEmitter& out = Out();
    if (!out.ParagraphOpen()) {
        SetParagraphStructure(out);
        std::string label = oldNumbering_.NextLabel(State().numbering);
        if (!label.empty() && !out.HasListLabel()) {
            out.SetListLabel(std::move(label), "\t");
        }
    }
    return out;
}

void RtfParser::FinishNumbering() {
    const auto decode = [&](const std::string& raw) {
        std::string utf8;
        if (numbering_.font != SymbolFontKind::kOther) {
            for (const char byte : raw) {
                AppendUtf8(utf8, static_cast<unsigned char>(byte));
            }
        } else {
            decoder_.Append(utf8, raw, numberingCodePage_);
        }
        return utf8;
    };
    numbering_.before = decode(numberingBefore_);
    numbering_.after = decode(numberingAfter_);
    State().numbering = oldNumbering_.Add(std::move(numbering_));
    numbering_ = {};
}

void RtfParser::StartGroup() {
    FlushText();
    unicodeSkipLeft_ = 0;
    if (stack_.size() >= static_cast<std::size_t>(limits::kMaxNestingDepth)) {
        ThrowDamaged("its groups are nested more deeply than any document needs");
    }
    GroupState child = stack_.back();
    child.onEnd = OnGroupEnd::kNone;
    child.starred = false;
    if (stack_.size() == 1) {
        child.destination = Destination::kText;  // the document's own group
        child.result = Destination::kText;
    }
    if (child.destination == Destination::kStyleSheet) {
        child.destination = Destination::kStyleEntry;
        child.onEnd = OnGroupEnd::kStyleEntry;
        styles_.Begin();
    }
    stack_.push_back(child);
    // A picture's properties sit a group or two deep; deeper groups hold only its data.
    if (child.destination == Destination::kPicture && !shapes_.empty() &&
        stack_.size() > shapes_.back().groupDepth + kMaxPictureGroups) {
        SkipRestOfGroup();
    }
}

void RtfParser::EndGroup() {
    EndUnpairedSurrogate();
    FlushText();
    unicodeSkipLeft_ = 0;
    const OnGroupEnd onEnd = stack_.back().onEnd;
    stack_.pop_back();
    switch (onEnd) {
        case OnGroupEnd::kNone:
            break;
        case OnGroupEnd::kNote:
            if (notePending_) {
                BeginPendingNote();
            }
            emitter_.EndNote();
            --noteDepth_;
            break;
        case OnGroupEnd::kFloating:
            emitter_.EndFloatingText();
            break;
        case OnGroupEnd::kListText:
            FinishListLabel();
            break;
        case OnGroupEnd::kNumbering:
            FinishNumbering();
            break;
        case OnGroupEnd::kFontTable:
            FinishFontName();
            fontBeingDefined_ = -1;
            ApplyFont(State());
            break;
        case OnGroupEnd::kProperty:
            FinishProperty();
            break;
        case OnGroupEnd::kDate:
            FinishDate();
            break;
        case OnGroupEnd::kField:
            FinishField();
            break;
        case OnGroupEnd::kMargin:
            emitter_.EndMarginText();
            --marginDepth_;
            break;
        case OnGroupEnd::kCommentAuthor:
            commentAuthor_ = std::move(propertyText_);
            propertyText_.clear();
            break;
        case OnGroupEnd::kStyleEntry:
            styles_.End();
            break;
        case OnGroupEnd::kShapeName:
        case OnGroupEnd::kShapeValue:
            FinishShapeProperty(onEnd);
            break;
        case OnGroupEnd::kShape:
            FinishShape();
            break;
    }
}

// Leaves the current group without reading the rest of it. The document's own group is never
// skipped: a destination word misplaced there is ignored.
void RtfParser::SkipRestOfGroup() {
    if (stack_.size() <= 2) {
        return;
    }
    tokenizer_.SkipGroup();
    EndGroup();
}

void RtfParser::OnText(std::string_view text) {
    GroupState& s = State();
    if (s.destination == Destination::kNumberingBefore) {
        numberingBefore_.append(text);
        return;
    }
    if (s.destination == Destination::kNumberingAfter) {
        numberingAfter_.append(text);
        return;
    }
    if (s.destination == Destination::kFontTable) {
        if (fontBeingDefined_ < 0 || fontNameDone_) {
            return;
        }
        const auto end = text.find(';');
        fontName_.append(text.substr(0, end));
        if (end != std::string_view::npos) {
            FinishFontName();
        }
        return;
    }
    if (s.destination == Destination::kStyleEntry) {
        styles_.AppendName(text);
        return;
    }
    if (s.destination == Destination::kPicture) {
        SkipRestOfGroup();  // the picture's data: its properties came before it
        return;
    }
    if (!Visible()) {
        return;
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20) {
            continue;
        }
        raw_.append(text.substr(start, i - start));
        start = i + 1;
        if (c == '\t') {
            FlushText();
            if (s.destination == Destination::kProperty) {
                propertyText_.push_back(' ');
            } else if (s.destination == Destination::kFieldCode) {
                AppendFieldCode(" ");
            } else if (s.destination == Destination::kListText) {
                label_.push_back('\t');
            } else {
                Content().Tab(Level());
            }
        }
    }
    raw_.append(text.substr(start));
}

void RtfParser::OnUnicode(std::int32_t value) {
    // \uN is a signed 16-bit number: \u-3913 is U+F0B7.
    char32_t cp = value < 0 ? static_cast<char32_t>(value + 65536) : static_cast<char32_t>(value);
    if (value < -32768 || value > 65535) {
        cp = 0xFFFD;
    }
    if (utf16::IsHighSurrogate(cp)) {
        EndUnpairedSurrogate();
        pendingHighSurrogate_ = cp;
        return;
    }
    if (utf16::IsLowSurrogate(cp)) {
        cp = pendingHighSurrogate_ != 0 ? utf16::JoinSurrogates(pendingHighSurrogate_, cp) : 0xFFFD;
        pendingHighSurrogate_ = 0;
    } else {
        EndUnpairedSurrogate();
    }
    if (cp != 0) {
        DeliverCodePoint(cp);
    }
}

// A high surrogate that no low one follows is shown as U+FFFD, as an unpaired low one is.
void RtfParser::EndUnpairedSurrogate() {
    if (pendingHighSurrogate_ != 0) {
        pendingHighSurrogate_ = 0;
        DeliverCodePoint(0xFFFD);
    }
}

void RtfParser::DeliverCodePoint(char32_t codePoint) {
    if (!Visible()) {
        return;
    }
    scratch_.clear();
    AppendUtf8(scratch_, codePoint);
    Deliver(scratch_, State().symbol);
}

void RtfParser::FlushText() {
    if (raw_.empty()) {
        return;
    }
    const GroupState& s = State();
    scratch_.clear();
    if (s.symbol != SymbolFontKind::kOther) {
        for (const char byte : raw_) {
            AppendUtf8(scratch_, static_cast<unsigned char>(byte));
        }
    } else {
        decoder_.Append(scratch_, raw_, s.codePage);
    }
    raw_.clear();
    Deliver(scratch_, s.symbol);
}

void RtfParser::Deliver(std::string_view utf8, SymbolFontKind symbol) {
    if (State().destination == Destination::kProperty) {
        propertyText_.append(utf8);
        return;
    }
    if (State().destination == Destination::kFieldCode) {
        AppendFieldCode(utf8);
        return;
    }
    ++textShown_;
    if (State().destination == Destination::kListText) {
        label_.append(utf8);
        if (symbol != SymbolFontKind::kOther) {
            labelSymbol_ = symbol;
        }
        return;
    }
    RtfEmitter& out = Content();
    out.SetStyle(State().style);
    if (symbol != SymbolFontKind::kOther) {
        out.Text(MapSymbolFontText(utf8, symbol), Level());
    } else {
        out.Text(utf8, Level());
    }
}

void RtfParser::ApplyFont(GroupState& state) {
    const int id = state.font >= 0 ? state.font : defaultFont_;
    const auto it = fonts_.find(id);
    if (it == fonts_.end()) {
        state.codePage = documentCodePage_;
        state.symbol = SymbolFontKind::kOther;
        return;
    }
    const RtfFont& font = it->second;
    state.codePage =
        font.codePage > 0 ? font.codePage : CodePageForCharset(font.charset, documentCodePage_);
    state.symbol = font.symbol;
    if (font.charset == 2 && state.symbol == SymbolFontKind::kOther) {
        state.symbol = SymbolFontKind::kSymbol;
    }
}

void RtfParser::FinishFontName() {
    if (fontBeingDefined_ < 0 || fontNameDone_) {
        return;
    }
    fontNameDone_ = true;
    const auto first = fontName_.find_first_not_of(' ');
    const auto last = fontName_.find_last_not_of(' ');
    const std::string_view name = first == std::string::npos
                                      ? std::string_view()
                                      : std::string_view(fontName_).substr(first, last - first + 1);
    fonts_[fontBeingDefined_].symbol = ClassifySymbolFont(name);
}

void RtfParser::FinishListLabel() {
    std::string label = std::move(label_);
    label_.clear();
    std::string suffix;
    if (!label.empty() && label.back() == '\t') {
        label.pop_back();
        suffix = "\t";
    } else {
        const auto end = label.find_last_not_of(' ');
        const std::size_t keep = end == std::string::npos ? 0 : end + 1;
        suffix = label.substr(keep);
        label.resize(keep);
    }
    const auto start = label.find_first_not_of(" \t");
    label.erase(0, start == std::string::npos ? label.size() : start);
    // Bullets of symbol fonts, also when written as private-use characters in another font
    // (\u61623), read as "•".
    label = labelSymbol_ != SymbolFontKind::kOther ? SymbolFontLabel(label, labelSymbol_)
                                                   : BulletText(label, SymbolFontKind::kOther);
    // An empty label (a heading's outline level without a number) adds nothing, not even its tab.
    if (!label.empty()) {
        emitter_.SetListLabel(std::move(label), std::move(suffix));
    }
}

void RtfParser::AppendFieldCode(std::string_view text) {
    std::string& code = fields_.back().code;
    if (code.size() + text.size() <= kMaxFieldCodeBytes) {
        code.append(text);
    }
}

void RtfParser::FinishField() {
    const OpenField field = std::move(fields_.back());
    fields_.pop_back();
    if (field.link) {
        emitter_.EndLink();
    }
    if (textShown_ != field.textBefore) {
        return;  // a stored result
    }
    if (const auto text = EqFieldText(field.code); text && !text->empty()) {
        ++textShown_;
        RtfEmitter& out = Content();
        out.SetStyle(State().style);
        out.Text(*text, Level());
    }
}

void RtfParser::BeginPendingNote() {
    notePending_ = false;
    const bool endnote = noteKind_ == NoteKind::kEndnote;
    const int number = endnote ? ++endnoteCount_ : ++footnoteCount_;
    const std::string mark = FormatNumber(number, endnote ? endnoteFormat_ : footnoteFormat_);
    if (referencePending_) {
        referencePending_ = false;
        emitter_.NoteReference(mark, referenceLevel_);
    }
    emitter_.StartNote(noteKind_, mark);
}

}  // namespace corvanel::convert::rtf
