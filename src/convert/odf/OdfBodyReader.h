#pragma once

#include "convert/odf/OdfListLabels.h"
#include "convert/odf/OdfStyles.h"

#include <pugixml.hpp>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "convert/core/DocumentSink.h"

namespace corvanel::convert::odf {

// Walks an office:text element (or an OpenOffice.org 1 office:body) and emits its content to
// the sink in reading order: paragraphs with their list labels, tables, text boxes after their
// anchor, notes; tracked deletions, hidden text and declarations stay out, and so do headers,
// footers and annotations unless the sink asks for them.
class BodyReader {
public:
    BodyReader(StyleSheet& styles, DocumentSink& sink) : styles_(styles), sink_(sink) {}

    void Read(pugi::xml_node body);

    // Gives the parsed pieces of a block in turn (nodes whose children are the block's next
    // children), then an empty node.
    using NextPiece = std::function<pugi::xml_node()>;
    // Reads a top-level table or section too large to parse at once, a piece of its children
    // at a time: `element` is the block without its children. False, with nothing read, when
    // the block is neither.
    bool BlockInPieces(pugi::xml_node element, const NextPiece& nextPiece);

    // Sends the headers and footers of an office:master-styles element, page style by page
    // style: the usual one, then the first-page and left-page ones.
    void HeadersAndFooters(pugi::xml_node masterStyles);

private:
    // Whitespace state inside one paragraph: runs of spaces collapse, leading ones go. The
    // style of the text at this point and the one last sent (none: to be sent again).
    struct InlineState {
        bool pendingSpace = false;
        bool lineStart = true;
        TextStyle style;
        std::optional<TextStyle> sent = TextStyle{};
    };
    struct ListFrame {
        std::string styleName;  // empty: taken from the paragraph's style
        ListCounters* counters = nullptr;
        int level = 1;
        bool labelPending = false;  // the item's first paragraph is still to come
        std::optional<int> startValue;
    };
    // Cells spanning down: for the first column of each, the last row it covers.
    struct TableGrid {
        int row = 0;
        std::unordered_map<int, int> lastCoveredRow;
    };

    void Blocks(pugi::xml_node parent);
    void Block(pugi::xml_node node);
    void Paragraph(pugi::xml_node node, bool heading);
    int HeadingLevel(pugi::xml_node node, bool heading);
    void Label(pugi::xml_node paragraph, bool heading);
    void SendText(std::string_view text, InlineState& state);
    void StyledChildren(pugi::xml_node node, InlineState& state);
    void Link(pugi::xml_node link, InlineState& state);
    void InlineChildren(pugi::xml_node parent, InlineState& state);
    void Inline(pugi::xml_node node, InlineState& state);
    void Characters(std::string_view text, InlineState& state);
    void FlushSpace(InlineState& state);
    void List(pugi::xml_node list);
    void NumberedParagraph(pugi::xml_node node);
    void Table(pugi::xml_node table);
    void TableFromPieces(const NextPiece& nextPiece);
    void TableRows(pugi::xml_node parent, TableGrid& grid, bool header);
    void Row(pugi::xml_node row, TableGrid& grid, bool header);
    void Cell(pugi::xml_node cell, int width, int height);
    void Shape(pugi::xml_node shape);
    void Picture(pugi::xml_node frame);
    // Shape, where a draw:a may make its pictures links (in a paragraph, outside a link) or not.
    void ShapeLinking(pugi::xml_node shape, bool linkPictures);
    static bool IsPicture(pugi::xml_node frame);  // a frame showing an image, not an object
    void FloatingText(pugi::xml_node container);
    void Note(pugi::xml_node note, InlineState& state);
    void Annotation(pugi::xml_node annotation);
    void SendMarginText(MarginText kind, std::string_view author, pugi::xml_node content);
    void CancelPendingLabel();
    ListCounters& NewCounters();
    void CountRepeatedVisit();

    template <typename Body>
    void WithOwnLists(Body&& body) {
        std::vector<ListFrame> outer;
        outer.swap(lists_);
        body();
        lists_.swap(outer);
    }

    StyleSheet& styles_;
    DocumentSink& sink_;
    int depth_ = 0;
    int repeating_ = 0;  // > 0 while a repeated row or cell is walked again
    std::uint64_t repeatedVisits_ = 0;
    std::uint64_t emittedCells_ = 0;
    bool inLink_ = false;        // inside a text:a
    bool linkPictures_ = false;  // a draw:a here may make its pictures links
    std::string text_;           // reused buffer for collapsed text
    std::vector<ListFrame> lists_;
    std::deque<ListCounters> counters_;  // deque: pointers stay valid
    std::unordered_map<std::string, ListCounters*> listsById_;
    std::unordered_map<std::string, ListCounters*> lastListByStyle_;
    ListCounters* lastList_ = nullptr;
    ListCounters outline_;
};

}  // namespace corvanel::convert::odf
