#include "convert/core/ConvertError.h"
#include "convert/core/Limits.h"
#include "convert/core/ListNumbering.h"
#include "convert/core/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/core/SymbolFont.h"
#include "convert/core/TextEncoding.h"
#include "convert/rtf/RtfCharsets.h"
#include "convert/rtf/RtfControlWords.h"
#include "convert/rtf/RtfEmitter.h"
#include "convert/rtf/RtfOldNumbering.h"
#include "convert/rtf/RtfTokenizer.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

namespace corvanel::convert {

namespace rtf {
namespace {

// Tables nest far less deeply than this in any real document.
constexpr int kMaxTableLevel = 64;
// \ucN beyond this is damage; the fallback is one or two characters in practice.
constexpr int kMaxUnicodeSkip = 64;

enum class Destination : unsigned char {
    kText,
    kNoText,
    kFontTable,
    kListText,
    kNumbering,        // inside \pn
    kNumberingBefore,  // \pntxtb
    kNumberingAfter,   // \pntxta
};
enum class OnGroupEnd : unsigned char {
    kNone,
    kNote,
    kFloating,
    kListText,
    kFontTable,
    kNumbering
};

// Everything RTF scopes to a group; a group starts with a copy of its parent's state.
struct GroupState {
    Destination destination = Destination::kNoText;
    Destination result = Destination::kNoText;  // what \fldrslt, \result and \ud read as
    OnGroupEnd onEnd = OnGroupEnd::kNone;
    bool starred = false;  // \* seen: an unknown destination follows
    bool hidden = false;
    bool deleted = false;
    bool inTable = false;
    int nestingLevel = 0;
    int numbering = -1;  // Word 6 numbering of the paragraph (index in RtfOldNumbering)
    int unicodeSkip = 1;
    int font = -1;  // -1: the default font
    int codePage = 1252;
    SymbolFontKind symbol = SymbolFontKind::kOther;
};

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

class RtfParser {
  public:
    RtfParser(std::string_view input, DocumentSink& sink) : tokenizer_(input), emitter_(sink) {
        stack_.emplace_back();
        raw_.reserve(4096);
        scratch_.reserve(4096);
    }

    void Run();

  private:
    GroupState& State() { return stack_.back(); }
    int Level() const {
        const GroupState& s = stack_.back();
        return s.nestingLevel > 0 ? s.nestingLevel : (s.inTable ? 1 : 0);
    }
    bool Visible() const {
        const GroupState& s = stack_.back();
        return (s.destination == Destination::kText || s.destination == Destination::kListText) &&
               !s.hidden && !s.deleted;
    }
    bool InText() const { return stack_.back().destination == Destination::kText && Visible(); }
    RtfEmitter& Out();
    RtfEmitter& Content();
    void FinishNumbering();

    void StartGroup();
    void EndGroup();
    void SkipRestOfGroup();
    void OnText(std::string_view text);
    void OnSymbol(char symbol);
    void OnWord(const RtfToken& token);
    void OnUnicode(std::int32_t value);
    void FlushText();
    void Deliver(std::string_view utf8, SymbolFontKind symbol);
    void DeliverCodePoint(char32_t codePoint);
    void ApplyFont(GroupState& state);
    void FinishFontName();
    void FinishListLabel();
    void BeginPendingNote();

    RtfTokenizer tokenizer_;
    RtfEmitter emitter_;
    ByteDecoder decoder_;
    std::vector<GroupState> stack_;

    std::string raw_;      // text bytes in the current group's code page, not yet decoded
    std::string scratch_;  // reused for decoding
    int unicodeSkipLeft_ = 0;
    char32_t pendingHighSurrogate_ = 0;

    int documentCodePage_ = 1252;
    int defaultFont_ = 0;
    std::unordered_map<int, RtfFont> fonts_;
    int fontBeingDefined_ = -1;
    bool fontNameDone_ = false;
    std::string fontName_;

    std::string label_;
    SymbolFontKind labelSymbol_ = SymbolFontKind::kOther;

    RtfOldNumbering oldNumbering_;
    RtfNumbering numbering_;  // the \pn being read
    std::string numberingBefore_;
    std::string numberingAfter_;
    int numberingCodePage_ = 1252;

    int noteDepth_ = 0;
    bool notePending_ = false;
    NoteKind noteKind_ = NoteKind::kFootnote;
    bool referencePending_ = false;
    int referenceLevel_ = 0;
    int footnoteCount_ = 0;
    int endnoteCount_ = 0;
    NumberFormat footnoteFormat_ = NumberFormat::kDecimal;
    NumberFormat endnoteFormat_ = NumberFormat::kDecimal;
};

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
                    pendingHighSurrogate_ = 0;
                    OnText(text);
                }
                break;
            case RtfToken::Kind::kHexByte: {
                pendingHighSurrogate_ = 0;
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
    stack_.push_back(child);
}

void RtfParser::EndGroup() {
    FlushText();
    unicodeSkipLeft_ = 0;
    pendingHighSurrogate_ = 0;
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
            if (s.destination == Destination::kListText) {
                label_.push_back('\t');
            } else {
                Content().Tab(Level());
            }
        }
    }
    raw_.append(text.substr(start));
}

void RtfParser::OnSymbol(char symbol) {
    switch (symbol) {
        case '\\':
        case '{':
        case '}':
            pendingHighSurrogate_ = 0;
            OnText(std::string_view(&symbol, 1));
            return;
        case '*':
            State().starred = true;
            return;
        default:
            break;
    }
    FlushText();
    pendingHighSurrogate_ = 0;
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
        if (!IsDestination(word.action)) {
            SkipRestOfGroup();
            return;
        }
    }
    if (word.action == RtfAction::kNone) {
        return;
    }
    FlushText();
    const int param = token.parameter;
    const bool on = !token.hasParameter || param != 0;
    switch (word.action) {
        case RtfAction::kNone:
            break;
        case RtfAction::kSkipDestination:
            SkipRestOfGroup();
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
            if (s.destination != Destination::kFontTable) {
                s.destination = s.result;
            }
            break;
        case RtfAction::kNoTextDestination:
            if (s.destination != Destination::kFontTable) {
                const bool keepsResult = token.word == "field" || token.word == "object";
                s.result = keepsResult ? s.destination : Destination::kNoText;
                s.destination = Destination::kNoText;
            }
            break;
        case RtfAction::kUpr:
            if (s.destination != Destination::kFontTable) {
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
        case RtfAction::kFloatingText:
            if (s.destination == Destination::kFontTable ||
                s.destination == Destination::kListText || s.hidden || s.deleted) {
                SkipRestOfGroup();
                break;
            }
            Out().StartFloatingText(Level());
            s.destination = Destination::kText;
            s.result = Destination::kText;
            s.onEnd = OnGroupEnd::kFloating;
            s.inTable = false;
            s.nestingLevel = 0;
            break;
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
            s.hidden = false;
            s.deleted = false;
            s.font = -1;
            ApplyFont(s);
            break;
        case RtfAction::kParagraphDefaults:
            s.inTable = false;
            s.nestingLevel = 0;
            s.numbering = -1;
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
        case RtfAction::kCharacter:
            if (Visible()) {
                Deliver(word.text, SymbolFontKind::kOther);
            }
            break;
    }
}

void RtfParser::OnUnicode(std::int32_t value) {
    // \uN is a signed 16-bit number: \u-3913 is U+F0B7.
    char32_t cp = value < 0 ? static_cast<char32_t>(value + 65536) : static_cast<char32_t>(value);
    if (value < -32768 || value > 65535) {
        cp = 0xFFFD;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF) {
        if (pendingHighSurrogate_ != 0) {
            DeliverCodePoint(0xFFFD);
        }
        pendingHighSurrogate_ = cp;
        return;
    }
    if (cp >= 0xDC00 && cp <= 0xDFFF) {
        cp = pendingHighSurrogate_ != 0
                 ? 0x10000 + ((pendingHighSurrogate_ - 0xD800) << 10) + (cp - 0xDC00)
                 : 0xFFFD;
    } else if (pendingHighSurrogate_ != 0) {
        DeliverCodePoint(0xFFFD);
    }
    pendingHighSurrogate_ = 0;
    if (cp != 0) {
        DeliverCodePoint(cp);
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
    if (State().destination == Destination::kListText) {
        label_.append(utf8);
        if (symbol != SymbolFontKind::kOther) {
            labelSymbol_ = symbol;
        }
        return;
    }
    if (symbol != SymbolFontKind::kOther) {
        Content().Text(MapSymbolFontText(utf8, symbol), Level());
    } else {
        Content().Text(utf8, Level());
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

}  // namespace
}  // namespace rtf

void ReadRtf(SourceFile& source, DocumentSink& sink) {
    rtf::RtfParser parser(source.Bytes(), sink);
    parser.Run();
}

}  // namespace corvanel::convert
