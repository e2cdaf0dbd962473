#pragma once

// librevenge's text-document interface, as the WordPerfect, Works and old Mac readers call it,
// turned into Corvanel's document events. The libraries may send unbalanced or misplaced events
// (a cell outside a row, a close without an open); the sink only ever sees a balanced stream.
// A failure of the sink is kept (the libraries must not see it) and raised by Finish().

#include "convert/core/DocumentSink.h"
#include "convert/revenge/RevengeLists.h"

#include <librevenge/librevenge.h>

#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace corvanel::convert::revenge {

class RevengeAdapter : public librevenge::RVNGTextInterface {
public:
    explicit RevengeAdapter(DocumentSink& sink) : sink_(sink) {}

    // Closes what the library left open; throws what the sink threw on the way.
    void Finish();

    void setDocumentMetaData(const librevenge::RVNGPropertyList& propList) override;
    void startDocument(const librevenge::RVNGPropertyList&) override {}
    void endDocument() override {}
    void definePageStyle(const librevenge::RVNGPropertyList&) override {}
    void defineEmbeddedFont(const librevenge::RVNGPropertyList&) override {}
    void openPageSpan(const librevenge::RVNGPropertyList&) override {}
    void closePageSpan() override {}
    void openHeader(const librevenge::RVNGPropertyList&) override;
    void closeHeader() override;
    void openFooter(const librevenge::RVNGPropertyList&) override;
    void closeFooter() override;
    void defineParagraphStyle(const librevenge::RVNGPropertyList&) override {}
    void openParagraph(const librevenge::RVNGPropertyList& propList) override;
    void closeParagraph() override;
    void defineCharacterStyle(const librevenge::RVNGPropertyList&) override {}
    void openSpan(const librevenge::RVNGPropertyList& propList) override;
    void closeSpan() override;
    void openLink(const librevenge::RVNGPropertyList& propList) override;
    void closeLink() override;
    void defineSectionStyle(const librevenge::RVNGPropertyList&) override {}
    void openSection(const librevenge::RVNGPropertyList&) override {}
    void closeSection() override {}
    void insertTab() override;
    void insertSpace() override;
    void insertText(const librevenge::RVNGString& text) override;
    void insertLineBreak() override;
    void insertField(const librevenge::RVNGPropertyList&) override {}
    void openOrderedListLevel(const librevenge::RVNGPropertyList& propList) override;
    void openUnorderedListLevel(const librevenge::RVNGPropertyList& propList) override;
    void closeOrderedListLevel() override;
    void closeUnorderedListLevel() override;
    void openListElement(const librevenge::RVNGPropertyList& propList) override;
    void closeListElement() override;
    void openFootnote(const librevenge::RVNGPropertyList& propList) override;
    void closeFootnote() override;
    void openEndnote(const librevenge::RVNGPropertyList& propList) override;
    void closeEndnote() override;
    void openComment(const librevenge::RVNGPropertyList&) override;
    void closeComment() override;
    void openTextBox(const librevenge::RVNGPropertyList&) override;
    void closeTextBox() override;
    void openTable(const librevenge::RVNGPropertyList&) override;
    void openTableRow(const librevenge::RVNGPropertyList&) override;
    void closeTableRow() override;
    void openTableCell(const librevenge::RVNGPropertyList&) override;
    void closeTableCell() override;
    void insertCoveredTableCell(const librevenge::RVNGPropertyList&) override;
    void closeTable() override;
    void openFrame(const librevenge::RVNGPropertyList& propList) override;
    void closeFrame() override;
    void insertBinaryObject(const librevenge::RVNGPropertyList& propList) override;
    void insertEquation(const librevenge::RVNGPropertyList&) override {}
    void openGroup(const librevenge::RVNGPropertyList&) override {}
    void closeGroup() override {}
    void defineGraphicStyle(const librevenge::RVNGPropertyList&) override {}
    void drawRectangle(const librevenge::RVNGPropertyList&) override {}
    void drawEllipse(const librevenge::RVNGPropertyList&) override {}
    void drawPolygon(const librevenge::RVNGPropertyList&) override {}
    void drawPolyline(const librevenge::RVNGPropertyList&) override {}
    void drawPath(const librevenge::RVNGPropertyList&) override {}
    void drawConnector(const librevenge::RVNGPropertyList&) override {}

private:
    // What an open event started, for matching its close.
    enum class Scope { kLeftOut, kNote, kTextBox, kTable, kRow, kCell, kMargin };
    struct Open {
        Scope scope;
        bool outerParagraph;  // whether a paragraph was open around it (notes, text boxes)
        bool emitted;         // false inside a part that is left out
        // The styles of the paragraph and text around it, which go on after it.
        TextStyle outerParagraphStyle;
        TextStyle outerStyle;
    };

    // Runs one event against the sink; once the sink has failed, nothing more reaches it.
    template <typename Event>
    void Guarded(Event&& event);

    bool LeftOut() const { return leftOut_ > 0; }
    bool CanHoldParagraph() const;
    // Opens a row and a cell, or a cell, for what comes between the cells of a table.
    void EnterCellWhenBetweenCells();
    void EnsureParagraph();
    void EndParagraph();
    void Push(Scope scope);
    // Closes the innermost open `scope` and everything opened inside it; false when none is
    // open (above the nearest note or text box, for table parts).
    bool Pop(Scope scope);
    void CloseTop();
    // Closes every scope from index `keep` on.
    void CloseAbove(std::size_t keep);
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    // The index of the innermost open table, row or cell of the current story, or kNone.
    std::size_t InnermostTablePart() const;
    void StartNote(NoteKind kind, const librevenge::RVNGPropertyList& propList);
    // A header, footer or comment: sent when the sink wants it, else left out.
    void StartMargin(MarginText kind, const std::string& author);
    void EndMargin();
    void Text(const std::string& utf8);
    // A cell, or (`covered`) a slot that a merged cell covers.
    void OpenCell(const librevenge::RVNGPropertyList& propList, bool covered);
    // Sends the text's style and starts the link it is in, before its text.
    void BeforeText();
    void EndLink();

    DocumentSink& sink_;
    std::exception_ptr failure_;
    std::vector<Open> open_;
    int leftOut_ = 0;
    bool paragraphOpen_ = false;
    bool hiddenSpan_ = false;
    TextStyle paragraphStyle_;            // what the paragraph's own properties set
    TextStyle style_;                     // the text's, with its span's over the paragraph's
    std::optional<TextStyle> sentStyle_;  // the last sent in the open paragraph
    std::string linkTarget_;
    bool inLink_ = false;
    std::size_t linkScopes_ = 0;  // the open scopes around the link: its text is in none deeper
    bool linkOpen_ = false;       // StartLink sent
    std::string frameDescription_;
    std::string frameTitle_;
    std::int64_t notesSeen_[2] = {0, 0};
    ListLabels lists_;
};

}  // namespace corvanel::convert::revenge
