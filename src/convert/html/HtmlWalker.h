#pragma once

#include "convert/core/DocumentSink.h"
#include "convert/core/ListNumbering.h"
#include "convert/core/SymbolFont.h"

#include <libxml/tree.h>

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

    void Walk(xmlNode* root);

private:
    struct List {
        bool ordered = false;
        NumberFormat format = NumberFormat::kDecimal;
        long long next = 1;
    };

    void WalkChildren(xmlNode* node);
    void WalkNode(xmlNode* node);
    void WalkElement(xmlNode* element, std::string_view name);
    void WalkBlock(xmlNode* element);
    void WalkListItem(xmlNode* element);
    void WalkList(xmlNode* element, bool ordered);
    void WalkTable(xmlNode* table);
    void WalkTableRows(xmlNode* parent);
    void WalkRow(xmlNode* row);
    void WalkNote(xmlNode* element, NoteKind kind);
    void WalkNoteList(xmlNode* element);

    void OnText(std::string_view text);
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
};

}  // namespace corvanel::convert::html
