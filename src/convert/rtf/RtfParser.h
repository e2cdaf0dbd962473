#pragma once

#include "convert/core/DocumentSink.h"
#include "convert/core/ListNumbering.h"
#include "convert/core/PropertyValues.h"
#include "convert/core/SymbolFont.h"
#include "convert/rtf/RtfCharsets.h"
#include "convert/rtf/RtfControlWords.h"
#include "convert/rtf/RtfEmitter.h"
#include "convert/rtf/RtfOldNumbering.h"
#include "convert/rtf/RtfStructure.h"
#include "convert/rtf/RtfTokenizer.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvanel::convert::rtf {

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
    kInfo,             // \info, read for the stated properties
    kProperty,         // \title, \author in \info: text collected for a property
    kDate,             // \creatim, \revtim in \info: \yr, \mo, ... collected
    kFieldCode,        // \fldinst of a field in the text: collected
    kStyleSheet,       // \stylesheet
    kStyleEntry,       // one style's definition in it
    kListTable,        // \listtable
    kListOverrides,    // \listoverridetable
    kPicture,          // \pict in the text, read up to its data for its properties
    kShapeProperty,    // \sp of a shape or picture in the text
};
enum class OnGroupEnd : unsigned char {
    kNone,
    kNote,
    kFloating,
    kListText,
    kFontTable,
    kNumbering,
    kProperty,
    kDate,
    kField,
    kMargin,
    kCommentAuthor,
    kStyleEntry,
    kShape,
    kShapeName,
    kShapeValue
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
    bool inFieldCode = false;       // within a \fldinst read for its text
    bool nestedTableProps = false;  // within \nesttableprops: an inner table's row definition
    TextStyle style;                // bold, italic, strikethrough
    int paragraphStyle = 0;         // \sN
    int outlineLevel = -1;          // \outlinelevelN, -1 when the paragraph states none
    int list = 0;                   // \lsN, 0 when not in a list
    int listLevel = 0;              // \ilvlN
    int nestingLevel = 0;
    int numbering = -1;  // Word 6 numbering of the paragraph (index in RtfOldNumbering)
    int unicodeSkip = 1;
    int font = -1;  // -1: the default font
    int codePage = 1252;
    SymbolFontKind symbol = SymbolFontKind::kOther;
};

// Reads RTF token by token with a stack of group states (no recursion): destinations decide
// where text goes, control words change the state or emit structure through RtfEmitter.
class RtfParser {
public:
    RtfParser(std::string_view input, DocumentSink& sink)
        : tokenizer_(input), emitter_(sink), sink_(sink), structure_(sink.WantsStructure()) {
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
        return (s.destination == Destination::kText || s.destination == Destination::kListText ||
                s.destination == Destination::kProperty ||
                s.destination == Destination::kFieldCode) &&
               !s.hidden && !s.deleted;
    }
    bool InText() const { return stack_.back().destination == Destination::kText && Visible(); }
    // Inside {\info}: groups other than its properties are skipped there, so that nothing in it
    // reaches the text.
    bool InInfo() const {
        const Destination d = stack_.back().destination;
        return d == Destination::kInfo || d == Destination::kProperty || d == Destination::kDate;
    }
    RtfEmitter& Out();
    RtfEmitter& Content();
    void FinishNumbering();

    void StartGroup();
    void EndGroup();
    void SkipRestOfGroup();
    void OnText(std::string_view text);
    void OnSymbol(char symbol);
    void OnWord(const RtfToken& token);
    bool OnDestinationWord(const RtfControlWord& word, const RtfToken& token);
    bool OnNumberingWord(const RtfControlWord& word, const RtfToken& token);
    bool OnFontWord(const RtfControlWord& word, const RtfToken& token);
    bool OnFormattingWord(const RtfControlWord& word, const RtfToken& token);
    bool OnContentWord(const RtfControlWord& word, const RtfToken& token);
    bool OnNoteWord(const RtfControlWord& word, const RtfToken& token);
    bool OnStyleWord(const RtfControlWord& word, const RtfToken& token);
    bool OnListWord(const RtfControlWord& word, const RtfToken& token);
    bool OnTableWord(const RtfControlWord& word, const RtfToken& token);
    bool OnShapeWord(const RtfControlWord& word, const RtfToken& token);
    void SetParagraphStructure(RtfEmitter& out);
    void SetTextStyle(TextStyle style);
    void FinishShapeProperty(OnGroupEnd part);
    void FinishShape();
    void OnUnicode(std::int32_t value);
    void FlushText();
    void Deliver(std::string_view utf8, SymbolFontKind symbol);
    void DeliverCodePoint(char32_t codePoint);
    void EndUnpairedSurrogate();
    void ApplyFont(GroupState& state);
    void FinishFontName();
    void FinishListLabel();
    void BeginPendingNote();
    void OnInfoWord(const RtfControlWord& word, const RtfToken& token);
    void FinishProperty();
    void FinishDate();
    void AppendFieldCode(std::string_view text);
    void FinishField();

    RtfTokenizer tokenizer_;
    RtfEmitter emitter_;
    DocumentSink& sink_;  // for the stated properties, which are not text
    // Whether the sink keeps structure: without it, the style sheet, the list tables and
    // pictures are skipped as they hold no text.
    const bool structure_;
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

    int marginDepth_ = 0;        // inside a header, footer or comment
    std::string commentAuthor_;  // from \atnauthor, for the next comment
    int noteDepth_ = 0;
    bool notePending_ = false;
    NoteKind noteKind_ = NoteKind::kFootnote;
    bool referencePending_ = false;
    int referenceLevel_ = 0;
    int footnoteCount_ = 0;
    int endnoteCount_ = 0;
    NumberFormat footnoteFormat_ = NumberFormat::kDecimal;
    NumberFormat endnoteFormat_ = NumberFormat::kDecimal;

    DocumentProperty property_ = DocumentProperty::kTitle;  // the \title or date being read
    std::string propertyText_;
    StatedTime date_;

    // Fields in the text, innermost last. An EQ field has no result: its code is collected and
    // its text drawn from it when the field ends with nothing shown.
    struct OpenField {
        std::string code;
        std::uint64_t textBefore = 0;  // textShown_ when the field began
        std::size_t groupDepth = 0;    // stack_.size() in the field's group
        bool link = false;             // a hyperlink, started at its result
    };
    std::vector<OpenField> fields_;
    std::uint64_t textShown_ = 0;

    RtfStyleSheet styles_;
    RtfListTable lists_;
    // Shapes and pictures in the text, innermost last, with the properties read so far.
    struct OpenShape {
        std::size_t groupDepth = 0;
        bool picture = false;
        bool hasText = false;  // its text box has text of its own
        std::string description;
        std::string title;
        std::string wordArt;  // gtextUNICODE: the text the shape draws
    };
    std::vector<OpenShape> shapes_;
    std::string shapePropertyName_;
};

}  // namespace corvanel::convert::rtf
