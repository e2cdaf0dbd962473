#pragma once

#include "convert/core/DocumentSink.h"
#include "convert/msword/Fonts.h"
#include "convert/msword/FormattingRuns.h"
#include "convert/msword/ListLabels.h"
#include "convert/msword/OfficeArt.h"
#include "convert/msword/PendingText.h"
#include "convert/msword/PieceTable.h"
#include "convert/msword/Stories.h"
#include "convert/msword/StyleSheet.h"
#include "convert/msword/TableLayout.h"
#include "convert/msword/Word6Numbering.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvanel::convert::msword {

// The document's pictures and shapes: those the body anchors, by position, and the shape of
// an inline picture at a place in the data stream.
struct Drawings {
    std::vector<AnchoredShape> anchored;  // by position
    std::function<std::optional<ShapeFacts>(std::uint32_t at)> inlinePicture;
};

// Walks the body in reading order and sends its events to the sink: paragraphs, tables, list
// labels, field results, breaks, notes (with their text, where referenced) and text boxes
// (after their anchor's paragraph). Hidden text, deleted revisions and field codes are left out.
class StoryWriter {
public:
    StoryWriter(const DocumentText& text, const CpRuns<CharProps>& chars,
                const CpRuns<ParaProps>& paras, const Stories& stories, ListLabels& lists,
                const Fonts& fonts, const StyleSheet& styles, DocumentSink& sink,
                const std::vector<TableRowDefinition>& rows, const Drawings& drawings);

    void WriteBody();

private:
    enum class Kind { kMain, kNote, kTextBox, kMargin };
    struct TableLevel {
        bool row = false;
        bool cell = false;
    };
    // Only a field's result is text, except for EQ fields, which have none and are drawn from
    // their code.
    struct OpenField {
        bool inResult = false;  // past its separator
        bool shown = false;     // its result has shown something
        bool link = false;      // a hyperlink, started at its separator
        PendingText code;       // the code's visible text
    };
    struct State {
        Kind kind;
        std::vector<TableLevel> tables;
        std::vector<OpenField> fields;
        int fieldsInCode = 0;   // open fields still in their code
        int fieldsTooDeep = 0;  // nesting beyond the limit, counted only
        std::uint32_t end = 0;  // where the story ends
        // The outermost table's cells, and the row and cell reached in it.
        std::vector<RowLayout> layout;
        std::size_t row = 0;
        std::size_t cell = 0;
    };

    void WriteStory(CpRange range, Kind kind);
    void WriteParagraph(State& state, std::uint32_t start, std::uint32_t mark, bool hasMark,
                        std::uint32_t firstMark);
    void WriteRun(State& state, std::uint32_t start, std::uint32_t end, std::uint16_t paraStyle);
    using ByteTable = std::array<char32_t, 256>;
    bool FieldCharacter(State& state, char16_t c);
    static void AppendCharacter(PendingText& to, char16_t c, const ByteTable* bytes, int codePage);

    void Symbol(const CharProps& props);
    void WriteSpecial(char16_t c, const CharProps& props, std::uint16_t font);
    const ByteTable* BytesOf(int codePage);
    void UpdateNextNote();
    void NotesAt(std::uint32_t cp, char16_t c);
    void TextBoxesAt(std::uint32_t cp);
    void ShapesAt(std::uint32_t cp);
    void InlinePicture(const CharProps& props);
    void WriteTextBox(TextBoxEntry& box);
    void WriteMargins(bool comments);
    void OpenTables(State& state, std::size_t depth, bool openInnermostCell, std::uint32_t at);
    std::vector<RowLayout> LayOutTableAt(std::uint32_t from, std::uint32_t end) const;
    void SendStyle(const CharProps& props, std::uint16_t paraStyle);
    void StartLinkAt(OpenField& field);
    void EndOpenLink();
    void CloseTablesDeeperThan(State& state, std::size_t depth);
    // The mark that ends the paragraph at `from`; `firstMark` is its own mark, before any
    // deleted or hidden ones that join it to the next.
    std::uint32_t FindParagraphEnd(std::uint32_t from, std::uint32_t end, bool& hasMark,
                                   std::uint32_t& firstMark) const;
    bool AnyShown(std::uint32_t from, std::uint32_t end) const;
    static std::size_t TableDepth(const ParaProps& props);
    bool IsSectionMark(std::uint32_t cp) const;
    void Flush();

    const DocumentText& text_;
    const CpRuns<CharProps>& chars_;
    const CpRuns<ParaProps>& paras_;
    Stories stories_;
    ListLabels& lists_;
    const Fonts& fonts_;
    const StyleSheet& styles_;
    DocumentSink& sink_;
    // Whether the sink keeps structure: without it, no emphasis, headings, links, pictures or
    // merged cells are worked out.
    const bool structure_;
    const std::vector<TableRowDefinition>& rows_;
    const Drawings& drawings_;

    std::size_t nextFootnote_ = 0;
    std::size_t nextEndnote_ = 0;
    int footnoteNumber_ = 0;
    int endnoteNumber_ = 0;
    std::uint32_t nextNoteCp_ = 0xFFFFFFFF;  // where the next note reference is
    std::vector<bool> boxWritten_;
    std::vector<std::size_t> boxesByAnchor_;             // anchored text boxes by anchor position
    std::vector<std::pair<int, ByteTable>> byteTables_;  // single-byte code pages met so far
    int storyDepth_ = 0;
    // The paragraph being written: open, its last style sent (none: send the next), a link.
    bool paragraphOpen_ = false;
    std::optional<TextStyle> sentStyle_;
    bool linkOpen_ = false;

    PendingText pending_;
    std::string label_, suffix_, symbolBuffer_;
    Word6Numbering word6Numbering_;
};

}  // namespace corvanel::convert::msword
