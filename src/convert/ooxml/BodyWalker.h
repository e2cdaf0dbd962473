#pragma once

#include "convert/core/DocumentSink.h"
#include "convert/core/HyperlinkField.h"
#include "convert/core/SymbolFont.h"
#include "convert/core/XmlDocument.h"
#include "convert/ooxml/WordContext.h"
#include "convert/ooxml/WordElements.h"

#include <pugixml.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvanel::convert::ooxml {

// Walks WordprocessingML content (a body, a table cell, a note, a text box) and emits its text
// as document events: paragraphs with list labels, runs, tables, text boxes, notes, equations;
// field codes, deleted and hidden text left out. With the text go its structure: headings,
// list items, header rows and merged cells, links, bold/italic/strike and pictures. One walker
// reads one document, so list and note counters run across the whole of it.
class BodyWalker {
public:
    BodyWalker(WordContext& context, DocumentSink& sink)
        : context_(context), sink_(sink), structure_(sink.WantsStructure()) {}

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
        int link = 0;                        // the link its result opened (a HYPERLINK field)
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
        int outline = -1;  // outlineLvl
    };
    void ListLabel(const ParagraphProperties& props, bool heading);
    bool ShowsNothing(pugi::xml_node p, const ParagraphProperties& props) const;
    void EndRunOn();
    void EndParagraph();
    void Table(pugi::xml_node tbl);
    void AltChunk(pugi::xml_node chunk);
    void StartTable();
    void Rows(pugi::xml_node container);
    void Row(pugi::xml_node tr);
    void Cells(pugi::xml_node container);
    void Cell(pugi::xml_node tc);
    // Calls `visit` for each element of kind `wanted` among the children, looking through
    // content controls, custom XML and alternate content as the walk does.
    template <typename Visit>
    void ForEachElement(pugi::xml_node container, WordElement wanted, const Visit& visit);
    void MeasureMerges(pugi::xml_node rows);
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
    void Hyperlink(pugi::xml_node link);
    // The link a field's result is the text of, when the sink keeps links.
    std::optional<HyperlinkTarget> FieldLink(std::string_view code) const;
    int OpenLink(std::string target, bool internal);
    void CloseLink(int link);
    void BeforeText();
    // A picture, as a link where it is one (DrawingML's a:hlinkClick on its properties, VML's
    // href), or inside the link around it.
    void DrawingPicture(pugi::xml_node properties);
    void LinkedPicture(std::string_view description, std::string_view title, std::string target);
    void Shapes(pugi::xml_node shape);
    void ShapeText(std::string_view text);
    void Math(pugi::xml_node math);
    bool Visible(const RunState& state) const { return !state.hidden && fields_.codeCount == 0; }

    WordContext& context_;
    DocumentSink& sink_;
    // Whether the sink keeps structure: without it, styles are not looked up for headings or
    // emphasis, nor links and merged cells worked out.
    const bool structure_;
    int depth_ = 0;
    FieldState fields_;
    bool inNote_ = false;
    StoryPiece piece_;                         // the piece being walked
    std::optional<DepthGuard> tableInPieces_;  // a table read in pieces counts as one level
    bool mergeWithNext_ = false;               // the last paragraph's mark was deleted: it runs on
    bool startDue_ = false;  // likewise, but it showed nothing and is not started yet
    // The tables being walked, innermost last: rows so far and merged cells' heights.
    struct TableState {
        bool headerRows = true;                           // the rows so far are all header rows
        std::unordered_map<const void*, int> mergedRows;  // vMerge restart cell -> rows
    };
    std::vector<TableState> tables_;
    // The link the text is in: sent with the first text in it, and again after a paragraph
    // end or a nested story ends it early.
    struct LinkState {
        int id = 0;  // 0: none
        std::string target;
        bool internal = false;
        bool sent = false;
    };
    LinkState link_;
    int links_ = 0;
    WordStyles::Toggles paragraphToggles_ = WordStyles::kUnset;  // the paragraph style's
    TextStyle runStyle_;                                         // the current run's
    std::optional<TextStyle> sentStyle_;  // the sink's, within the paragraph; none: unknown
    std::int64_t footnotesSeen_ = 0;
    std::int64_t endnotesSeen_ = 0;
    std::uint64_t textShown_ = 0;  // text events so far, to tell an empty field result
    std::string scratch_;
};

}  // namespace corvanel::convert::ooxml
