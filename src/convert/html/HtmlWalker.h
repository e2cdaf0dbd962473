#pragma once

#include "convert/core/DocumentSink.h"
#include "convert/core/ListNumbering.h"
#include "convert/core/SymbolFont.h"

#include <libxml/tree.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::html {

// Walks a parsed HTML tree in reading order and emits the text as a browser shows it: blocks
// as paragraphs, white space collapsed (kept in <pre>), <br> as line breaks, tables, list items
// with their labels (also Word's own list paragraphs), Word's footnotes after the body. What a
// browser does not show (head, scripts, styles, display:none, Word's comments) is left out.
class HtmlWalker {
public:
    explicit HtmlWalker(DocumentSink& sink) : sink_(sink) {}

    // A whole tree: the root element and the siblings after it.
    void Walk(xmlNode* root);

    // Walking a tree while the parser still builds it (HtmlTreeStream drives this). What an
    // element's children are to its walk:
    enum class Content {
        kNone,       // not walked
        kFlow,       // text and elements in reading order
        kTableRows,  // the rows (and row groups) of a table
        kNoteList,   // Word's list of notes: only the notes
        kWhole,      // walked only once the element is complete
    };
    // An element whose walk has begun: what its children are and what ending it does.
    struct Opened {
        Content content = Content::kNone;
        enum class Closing { kNothing, kList, kBlock, kPre, kTable } closing = Closing::kNothing;
        bool restoresFont = false;
        SymbolFontKind outerFont = SymbolFontKind::kOther;
        bool holdsLevel = false;  // a nesting level taken when the walk began
        bool restoresStyle = false;
        TextStyle outerStyle;
        bool endsLink = false;
    };
    // A child just started in a parent whose children are `parent`: either its walk begins now
    // (the result has content kFlow, kTableRows or kNoteList, and Close ends it when the child
    // is complete), it waits until complete (kWhole: then WalkChild), or it is not walked
    // (kNone). `captionMayFollow` says whether a table's caption may still come.
    Opened StartChild(Content parent, xmlNode* child, bool captionMayFollow);
    void Close(const Opened& opened);
    // A complete child that was not walked as it grew: text, or an element planned kWhole.
    void WalkChild(Content parent, xmlNode* child);
    // After the last child of the document.
    void Finish() { EndParagraph(); }

private:
    struct ListItemOf {
        int level = 0;
        ListKind kind = ListKind::kBullet;
    };
    struct List {
        bool ordered = false;
        NumberFormat format = NumberFormat::kDecimal;
        long long next = 1;
    };
    enum class RowsChild { kNothing, kRow, kGroup, kOther };

    void WalkChildren(xmlNode* node);
    void WalkNode(xmlNode* node);
    void WalkElement(xmlNode* element, std::string_view name);
    // Begins an element's walk; `complete` when its subtree is all there.
    Opened Open(xmlNode* element, std::string_view name, bool complete,
                bool captionMayFollow = false);
    static Opened Whole();
    std::optional<Opened> OpenWordPart(xmlNode* element, std::string_view name,
                                       const std::string& style, bool complete);
    std::optional<Opened> OpenWordInlineMark(xmlNode* element, const std::string& style,
                                             bool complete);
    std::optional<Opened> OpenNoteLink(xmlNode* element, bool complete);
    Opened OpenStructure(xmlNode* element, std::string_view name, const std::string& style);
    void WalkContent(xmlNode* element, Content content);
    void OpenList(xmlNode* element, bool ordered);
    void OpenListItem(xmlNode* element);
    void OpenTable(xmlNode* table);
    // Bold, italic and strikethrough an element sets (by its name or inline style) over `outer`.
    static TextStyle StyleOf(std::string_view name, std::string_view style, TextStyle outer);
    void OpenLink(xmlNode* anchor, Opened& opened);
    void EndLink();
    void EndBlock();
    static RowsChild ClassifyRowsChild(xmlNode* child);
    void WalkRowsChild(xmlNode* child);
    void WalkRow(xmlNode* row);
    void WalkNote(xmlNode* element, NoteKind kind);
    void WalkNoteListChild(xmlNode* child);
    void EnterLevel();
    void LeaveLevel() { --depth_; }

    void OnText(std::string_view text);
    void SendText(std::string_view text);
    void OnBreak();
    void Emit(std::string_view text);
    void EnsureParagraph();
    void EndParagraph();

    DocumentSink& sink_;
    int depth_ = 0;
    int preDepth_ = 0;
    bool preStart_ = false;  // the first line break of a <pre> is not shown
    bool paragraphOpen_ = false;
    bool pendingSpace_ = false;
    bool lineHasText_ = false;  // white space after text on this line is one space
    int pendingBreaks_ = 0;
    std::string heldSpaces_;  // leading no-break spaces, shown only before other text
    bool hasLabel_ = false;
    std::string label_;
    SymbolFontKind symbolFont_ = SymbolFontKind::kOther;
    std::vector<List> lists_;
    std::string run_;  // reused for collapsing white space
    bool inNote_ = false;

    // Structure: sent with the paragraph the walk opens next.
    int headingLevel_ = 0;
    int wordListLevel_ = -1;  // a Word list paragraph's level (mso-list), 0 the outermost
    std::optional<ListItemOf> listItem_;  // with a list label
    TextStyle style_;
    std::optional<TextStyle> sentStyle_;
    bool inLink_ = false;    // inside an <a href>
    bool linkOpen_ = false;  // StartLink sent in this paragraph
    std::string linkTarget_;
    bool linkInternal_ = false;
};

}  // namespace corvanel::convert::html
