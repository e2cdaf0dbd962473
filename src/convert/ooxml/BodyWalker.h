#pragma once

#include "convert/core/DocumentSink.h"
#include "convert/core/SymbolFont.h"
#include "convert/core/XmlDocument.h"
#include "convert/ooxml/WordContext.h"

#include <pugixml.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::word {

// Walks WordprocessingML content (a body, a table cell, a note, a text box) and emits its text
// as document events: paragraphs with list labels, runs, tables, text boxes, notes, equations;
// field codes, deleted and hidden text left out. One walker reads one document, so list and
// note counters run across the whole of it.
class BodyWalker {
public:
    BodyWalker(WordContext& context, DocumentSink& sink) : context_(context), sink_(sink) {}

    // A story: an element whose children are paragraphs and tables.
    void WalkStory(pugi::xml_node container);
    // A story given in pieces: the children of each piece are the story's next blocks, and
    // what spans blocks (open fields, a paragraph running on) carries across pieces. A very
    // large table may come as pieces of its own: its start, its rows a batch at a time, its
    // end. `nextPiece` returns an empty blocks piece after the last one; a piece is used only
    // until the next call.
    struct StoryPiece {
        enum class Kind { kBlocks, kTableStart, kTableRows, kTableEnd };
        pugi::xml_node blocks;  // the blocks, or the rows of a kTableRows piece
        Kind kind = Kind::kBlocks;
    };
    void WalkStoryPieces(const std::function<StoryPiece()>& nextPiece);

private:
    template <typename WalkBlocks>
    void InStory(WalkBlocks walkBlocks);

    struct RunState {
        bool hidden = false;
        bool customMarkTaken = false;  // the rest of the run is a note's custom mark
        SymbolFontKind font = SymbolFontKind::kOther;
    };
    // Complex fields (begin, separate, end) may span runs and paragraphs; only their results
    // are text, except for EQ fields, which have none and are drawn from their code. Nested
    // fields stack up.
    struct OpenField {
        bool inCode = true;
        std::uint64_t textBeforeResult = 0;  // textShown_ when the result began
        std::string code;                    // the code's visible text
    };
    struct FieldState {
        std::vector<OpenField> open;
        int codeCount = 0;
    };

    // Blocks (BodyWalker.cpp)
    void Blocks(pugi::xml_node container);
    void Paragraph(pugi::xml_node p);
    struct ParagraphProperties {
        std::string_view style;
        pugi::xml_node numbering;  // numPr (listPr in Word 2003 XML)
        pugi::xml_node listId;     // its numId (ilfo)
        bool markDeleted = false;
        bool markHidden = false;
        bool dropCap = false;
    };
    void ListLabel(const ParagraphProperties& props);
    void Table(pugi::xml_node tbl);
    void AltChunk(pugi::xml_node chunk);
    void StartTable();
    void Rows(pugi::xml_node container);
    void Row(pugi::xml_node tr);
    void Cells(pugi::xml_node container);
    void Cell(pugi::xml_node tc);
    pugi::xml_node ChooseAlternative(pugi::xml_node alternateContent) const;
    bool DescendUnknown() const { return context_.dialect == Dialect::kWord2003; }
    static bool AnnotationIsInsertion(pugi::xml_node annotation);
    void Comment(pugi::xml_node annotation);

    // Inline content (InlineWalker.cpp)
    void Inline(pugi::xml_node container);
    void Run(pugi::xml_node r);
    void RunContent(pugi::xml_node container, RunState& state);
    void Field(pugi::xml_node fldChar);
    void FieldCode(std::string_view text);
    void SimpleField(pugi::xml_node fldSimple);
    void DrawnField(std::string_view code);
    void Symbol(pugi::xml_node sym);
    void EmitText(std::string_view text, SymbolFontKind font);
    void NoteReference(pugi::xml_node reference, NoteKind kind, RunState& state);
    void InlineNote(pugi::xml_node note, NoteKind kind);
    void Note(NoteKind kind, std::string_view mark, pugi::xml_node content);
    void TextBoxes(pugi::xml_node shape);
    void Math(pugi::xml_node math);
    bool Visible(const RunState& state) const { return !state.hidden && fields_.codeCount == 0; }

    WordContext& context_;
    DocumentSink& sink_;
    int depth_ = 0;
    FieldState fields_;
    bool inNote_ = false;
    StoryPiece piece_;                         // the piece being walked
    std::optional<DepthGuard> tableInPieces_;  // a table read in pieces counts as one level
    bool mergeWithNext_ = false;               // the last paragraph's mark was deleted: it runs on
    std::int64_t footnotesSeen_ = 0;
    std::int64_t endnotesSeen_ = 0;
    std::uint64_t textShown_ = 0;  // text events so far, to tell an empty field result
    std::string scratch_;
};

}  // namespace corvanel::convert::word
