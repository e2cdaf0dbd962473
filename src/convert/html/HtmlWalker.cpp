#include "convert/html/HtmlWalker.h"

#include "convert/core/StyledText.h"
#include "convert/core/XmlDocument.h"
#include "convert/html/HtmlElements.h"

#include <algorithm>
#include <charconv>

#include "convert/html/LibXml2.h"  // last: libxml2's calls go through the loaded library

namespace corvanel::convert::html {

void HtmlWalker::Walk(xmlNode* root) {
    for (xmlNode* node = root; node != nullptr; node = node->next) {
        WalkNode(node);
    }
    EndParagraph();
}

void HtmlWalker::WalkChildren(xmlNode* node) {
    for (xmlNode* child = node->children; child != nullptr; child = child->next) {
        WalkNode(child);
    }
}

void HtmlWalker::WalkNode(xmlNode* node) {
    switch (node->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (node->content != nullptr) {
                OnText(reinterpret_cast<const char*>(node->content));
            }
            break;
        case XML_ELEMENT_NODE: {
            DepthGuard guard(depth_);
            WalkElement(node, Name(node));
            break;
        }
        default:
            break;
    }
}

void HtmlWalker::WalkElement(xmlNode* element, std::string_view name) {
    const Opened opened = Open(element, name, true);
    WalkContent(element, opened.content);
    Close(opened);
}

void HtmlWalker::WalkContent(xmlNode* element, Content content) {
    if (content == Content::kNone) {
        return;
    }
    for (xmlNode* child = element->children; child != nullptr; child = child->next) {
        WalkChild(content, child);
    }
}

void HtmlWalker::WalkChild(Content parent, xmlNode* child) {
    switch (parent) {
        case Content::kFlow:
            WalkNode(child);
            break;
        case Content::kTableRows:
            WalkRowsChild(child);
            break;
        case Content::kNoteList:
            WalkNoteListChild(child);
            break;
        case Content::kNone:
        case Content::kWhole:
            break;
    }
}

HtmlWalker::Opened HtmlWalker::StartChild(Content parent, xmlNode* child, bool captionMayFollow) {
    Opened opened;
    switch (parent) {
        case Content::kFlow:
            if (child->type != XML_ELEMENT_NODE) {
                opened.content = Content::kWhole;
                break;
            }
            EnterLevel();
            opened = Open(child, Name(child), false, captionMayFollow);
            opened.holdsLevel = true;
            if (opened.content == Content::kWhole) {
                LeaveLevel();
                opened.holdsLevel = false;
            } else if (opened.content == Content::kNone) {
                Close(opened);
                opened = {};
            }
            break;
        case Content::kTableRows:
            switch (ClassifyRowsChild(child)) {
                case RowsChild::kNothing:
                    break;
                case RowsChild::kGroup:
                    EnterLevel();
                    opened.content = Content::kTableRows;
                    opened.holdsLevel = true;
                    break;
                case RowsChild::kRow:
                case RowsChild::kOther:
                    opened.content = Content::kWhole;
                    break;
            }
            break;
        case Content::kNoteList: {
            NoteKind kind;
            if (child->type == XML_ELEMENT_NODE && NoteKindOf(child, Style(child), kind)) {
                opened.content = Content::kWhole;
            }
            break;
        }
        case Content::kNone:
        case Content::kWhole:
            break;
    }
    return opened;
}

// What a browser shows of an element begins here. When the element is not yet complete, what
// needs all of its content (a note, a list label, a note reference, a table that may have its
// caption further on) is left for later (kWhole) before anything is emitted.
HtmlWalker::Opened HtmlWalker::Open(xmlNode* element, std::string_view name, bool complete,
                                    bool captionMayFollow) {
    if (IsNeverShown(name)) {
        return {};
    }
    const std::string style = Style(element);
    // Word's comment marks: the link to the comment and the mark character after it.
    if (IsHidden(element, style) || Attribute(element, "class") == "msocomanchor" ||
        StyleValue(style, "mso-special-character") == "comment") {
        return {};
    }
    if (std::optional<Opened> opened = OpenWordPart(element, name, style, complete)) {
        return *opened;
    }
    if (std::optional<Opened> opened = OpenWordInlineMark(element, style, complete)) {
        return *opened;
    }
    if (name == "a") {
        if (std::optional<Opened> opened = OpenNoteLink(element, complete)) {
            return *opened;
        }
    }
    if (name == "table" && !complete && captionMayFollow) {
        // Its captions come before its rows, wherever they stand in it.
        return Whole();
    }
    return OpenStructure(element, name, style);
}

HtmlWalker::Opened HtmlWalker::Whole() {
    Opened opened;
    opened.content = Content::kWhole;
    return opened;
}

// Notes, note lists, page headers and footers, comments: the parts of a Word page that are not
// its body text.
std::optional<HtmlWalker::Opened> HtmlWalker::OpenWordPart(xmlNode* element, std::string_view name,
                                                           const std::string& style,
                                                           bool complete) {
    const std::string_view wordElement = StyleValue(style, "mso-element");
    NoteKind noteKind;
    if (NoteKindOf(element, style, noteKind)) {
        if (!complete) {
            return Whole();
        }
        WalkNote(element, noteKind);
        return Opened{};
    }
    if (wordElement == "footnote-list" || wordElement == "endnote-list") {
        EndParagraph();
        Opened opened;
        opened.content = Content::kNoteList;
        return opened;
    }
    // Page headers and footers: Word marks them with mso-element, LibreOffice with a title.
    const std::string title = name == "div" ? Attribute(element, "title") : std::string();
    if (title == "header" || title == "footer" || StartsWith(wordElement, "header") ||
        StartsWith(wordElement, "footer") || StartsWith(wordElement, "comment") ||
        wordElement.find("separator") != std::string_view::npos) {
        return Opened{};
    }
    return std::nullopt;
}

// The marks Word puts inside a paragraph: list labels, tabs and runs of spaces.
std::optional<HtmlWalker::Opened> HtmlWalker::OpenWordInlineMark(xmlNode* element,
                                                                 const std::string& style,
                                                                 bool complete) {
    if (StyleValue(style, "mso-list") == "ignore") {
        if (!complete) {
            return Whole();
        }
        // Word's list label: the number or bullet and the spacing after it.
        std::string text;
        AppendNodeText(element, text, depth_);
        SymbolFontKind font = FontOf(element, style);
        if (font == SymbolFontKind::kOther) {
            font = symbolFont_;
        }
        label_ = BulletText(TrimLabel(text), font);
        hasLabel_ = !label_.empty();
        if (hasLabel_ && wordListLevel_ >= 0) {
            listItem_ = ListItemOf{wordListLevel_,
                                   IsNumberLabel(label_) ? ListKind::kNumbered : ListKind::kBullet};
        }
        return Opened{};
    }
    if (!StyleValue(style, "mso-tab-count").empty()) {
        Emit({});
        EnsureParagraph();
        sink_.Tab();
        pendingSpace_ = false;
        return Opened{};
    }
    if (StyleValue(style, "mso-spacerun") == "yes") {
        if (!complete) {
            return Whole();
        }
        // Runs of spaces Word kept with no-break spaces: spaces, not collapsed.
        std::string spaces;
        AppendNodeText(element, spaces, depth_);
        std::string run;
        for (std::size_t i = 0; i < spaces.size(); ++i) {
            if (StartsWith(std::string_view(spaces).substr(i), "\xC2\xA0")) {
                ++i;
            }
            run.push_back(' ');
        }
        if (!run.empty() && (lineHasText_ || paragraphOpen_)) {
            pendingSpace_ = false;
            Emit(run);
        }
        return Opened{};
    }
    return std::nullopt;
}

// A note's reference and its link back to it.
std::optional<HtmlWalker::Opened> HtmlWalker::OpenNoteLink(xmlNode* element, bool complete) {
    if (IsNoteBackLink(element)) {
        return Opened{};
    }
    if (!IsNoteReference(element)) {
        return std::nullopt;
    }
    if (!complete) {
        return Whole();
    }
    const std::string href = Attribute(element, "href");
    std::string text;
    AppendNodeText(element, text, depth_);
    Emit({});
    EnsureParagraph();
    sink_.NoteReference(NoteMark(std::move(text), href));
    pendingSpace_ = false;
    return Opened{};
}

// The page's own structure: breaks, lists, tables, preformatted text and blocks.
HtmlWalker::Opened HtmlWalker::OpenStructure(xmlNode* element, std::string_view name,
                                             const std::string& style) {
    Opened opened;
    const SymbolFontKind font = FontOf(element, style);
    opened.restoresFont = true;
    opened.outerFont = symbolFont_;
    if (font != SymbolFontKind::kOther) {
        symbolFont_ = font;
    }
    if (const TextStyle styled = StyleOf(name, style, style_); styled != style_) {
        opened.restoresStyle = true;
        opened.outerStyle = style_;
        style_ = styled;
    }
    if (name == "br") {
        OnBreak();
    } else if (name == "img") {
        // An image stands inline: in the paragraph open here, else in one of its own where the
        // output shows pictures (text output leaves them out, with no empty paragraph); in a
        // link, in the link's paragraph.
        const bool linked = inLink_ && sink_.WantsStructure();
        if (linked || (!paragraphOpen_ && sink_.WantsStructure())) {
            Emit({});
            EnsureParagraph();
        }
        if (linked && !linkOpen_) {
            sink_.StartLink(linkTarget_, linkInternal_);
            linkOpen_ = true;
        }
        if (paragraphOpen_) {
            sink_.Picture(Attribute(element, "alt"), Attribute(element, "title"));
        }
    } else if (name == "ul" || name == "ol" || name == "menu" || name == "dir") {
        OpenList(element, name == "ol");
        opened.content = Content::kFlow;
        opened.closing = Opened::Closing::kList;
    } else if (name == "li") {
        OpenListItem(element);
        opened.content = Content::kFlow;
        opened.closing = Opened::Closing::kBlock;
    } else if (name == "table") {
        OpenTable(element);
        opened.content = Content::kTableRows;
        opened.closing = Opened::Closing::kTable;
    } else if (IsPreformatted(name)) {
        ++preDepth_;
        preStart_ = true;
        EndParagraph();
        opened.content = Content::kFlow;
        opened.closing = Opened::Closing::kPre;
    } else if (name == "hr") {
        EndParagraph();
    } else if (IsBlock(name)) {
        EndParagraph();
        headingLevel_ = HeadingLevelOf(name);
        wordListLevel_ = WordListLevel(style);
        opened.content = Content::kFlow;
        opened.closing = Opened::Closing::kBlock;
    } else {
        if (name == "a") {
            OpenLink(element, opened);
        }
        opened.content = Content::kFlow;
    }
    return opened;
}

void HtmlWalker::Close(const Opened& opened) {
    switch (opened.closing) {
        case Opened::Closing::kList:
            lists_.pop_back();
            EndParagraph();
            break;
        case Opened::Closing::kBlock:
            EndBlock();
            break;
        case Opened::Closing::kPre:
            EndBlock();
            --preDepth_;
            break;
        case Opened::Closing::kTable:
            LeaveLevel();
            sink_.EndTable();
            break;
        case Opened::Closing::kNothing:
            break;
    }
    if (opened.endsLink) {
        EndLink();
        inLink_ = false;
    }
    if (opened.restoresStyle) {
        style_ = opened.outerStyle;
    }
    if (opened.restoresFont) {
        symbolFont_ = opened.outerFont;
    }
    if (opened.holdsLevel) {
        LeaveLevel();
    }
}

void HtmlWalker::EndBlock() {
    EndParagraph();
    if (hasLabel_) {
        // A list paragraph with a label and nothing else.
        EnsureParagraph();
        EndParagraph();
    }
}

void HtmlWalker::OpenList(xmlNode* element, bool ordered) {
    EndParagraph();
    List list;
    list.ordered = ordered;
    if (ordered) {
        const std::string type = Attribute(element, "type");
        list.format = type == "a"   ? NumberFormat::kLowerLetter
                      : type == "A" ? NumberFormat::kUpperLetter
                      : type == "i" ? NumberFormat::kLowerRoman
                      : type == "I" ? NumberFormat::kUpperRoman
                                    : NumberFormat::kDecimal;
        const std::string start = Attribute(element, "start");
        long long value = 0;
        if (std::from_chars(start.data(), start.data() + start.size(), value).ec == std::errc()) {
            list.next = value;
        }
    }
    lists_.push_back(list);
}

void HtmlWalker::OpenListItem(xmlNode* element) {
    EndParagraph();
    if (!lists_.empty() && lists_.back().ordered) {
        List& list = lists_.back();
        const std::string value = Attribute(element, "value");
        long long number = 0;
        if (std::from_chars(value.data(), value.data() + value.size(), number).ec == std::errc()) {
            list.next = number;
        }
        label_ = FormatNumber(list.next, list.format) + ".";
        if (list.next < (1ll << 62)) {
            ++list.next;
        }
    } else {
        label_ = "\xE2\x80\xA2";
    }
    hasLabel_ = true;
    EndParagraph();
    const bool ordered = !lists_.empty() && lists_.back().ordered;
    listItem_ = ListItemOf{std::max<int>(static_cast<int>(lists_.size()) - 1, 0),
                           ordered ? ListKind::kNumbered : ListKind::kBullet};
}

TextStyle HtmlWalker::StyleOf(std::string_view name, std::string_view style, TextStyle outer) {
    TextStyle result = outer;
    result.bold = result.bold || name == "b" || name == "strong";
    result.italic = result.italic || name == "i" || name == "em";
    result.strike = result.strike || name == "s" || name == "strike";
    if (const std::optional<bool> bold = IsBoldWeight(StyleValue(style, "font-weight"))) {
        result.bold = *bold;
    }
    const std::string_view fontStyle = StyleValue(style, "font-style");
    if (StartsWith(fontStyle, "italic") || StartsWith(fontStyle, "oblique")) {
        result.italic = true;
    } else if (StartsWith(fontStyle, "normal")) {
        result.italic = false;
    }
    // A line through is drawn over all the text inside, whatever that text sets.
    if (StyleValue(style, "text-decoration").find("line-through") != std::string_view::npos ||
        StyleValue(style, "text-decoration-line").find("line-through") != std::string_view::npos) {
        result.strike = true;
    }
    return result;
}

void HtmlWalker::OpenLink(xmlNode* anchor, Opened& opened) {
    if (inLink_ || !HasAttribute(anchor, "href")) {
        return;
    }
    std::string href = Attribute(anchor, "href");
    if (href.empty()) {
        return;
    }
    linkInternal_ = href.front() == '#';
    linkTarget_ = linkInternal_ ? href.substr(1) : std::move(href);
    inLink_ = true;
    opened.endsLink = true;
}

void HtmlWalker::EndLink() {
    if (linkOpen_) {
        sink_.EndLink();
        linkOpen_ = false;
    }
}

// Captions first, wherever they stand among the rows; then the rows, one level deeper.
void HtmlWalker::OpenTable(xmlNode* table) {
    EndParagraph();
    for (xmlNode* child = table->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE && Name(child) == "caption") {
            WalkNode(child);
        }
    }
    sink_.StartTable();
    EnterLevel();
}

HtmlWalker::RowsChild HtmlWalker::ClassifyRowsChild(xmlNode* child) {
    if (child->type == XML_TEXT_NODE) {
        return child->content == nullptr ||
                       IsBlankText(reinterpret_cast<const char*>(child->content))
                   ? RowsChild::kNothing
                   : RowsChild::kOther;
    }
    if (child->type != XML_ELEMENT_NODE) {
        return RowsChild::kNothing;
    }
    const std::string_view name = Name(child);
    if (name == "caption" || name == "colgroup" || name == "col" || IsNeverShown(name) ||
        IsHidden(child, Style(child))) {
        return RowsChild::kNothing;
    }
    if (name == "tr") {
        return RowsChild::kRow;
    }
    if (name == "thead" || name == "tbody" || name == "tfoot" || name == "form") {
        return RowsChild::kGroup;
    }
    return RowsChild::kOther;
}

void HtmlWalker::WalkRowsChild(xmlNode* child) {
    switch (ClassifyRowsChild(child)) {
        case RowsChild::kNothing:
            break;
        case RowsChild::kRow:
            WalkRow(child);
            break;
        case RowsChild::kGroup: {
            DepthGuard guard(depth_);
            WalkContent(child, Content::kTableRows);
            break;
        }
        case RowsChild::kOther:
            // Content a browser would move out of the table: a row of its own here.
            sink_.StartRow();
            sink_.StartCell();
            WalkNode(child);
            EndParagraph();
            sink_.EndCell();
            sink_.EndRow();
            break;
    }
}

void HtmlWalker::WalkRow(xmlNode* row) {
    sink_.StartRow();
    if (IsHeaderRow(row)) {
        sink_.HeaderRow();
    }
    for (xmlNode* child = row->children; child != nullptr; child = child->next) {
        if (child->type == XML_TEXT_NODE &&
            (child->content == nullptr ||
             IsBlankText(reinterpret_cast<const char*>(child->content)))) {
            continue;
        }
        if (child->type != XML_TEXT_NODE && child->type != XML_ELEMENT_NODE) {
            continue;
        }
        if (child->type == XML_ELEMENT_NODE) {
            const std::string_view name = Name(child);
            if (IsNeverShown(name) || IsHidden(child, Style(child))) {
                continue;
            }
        }
        sink_.StartCell();
        if (child->type == XML_ELEMENT_NODE && (Name(child) == "td" || Name(child) == "th")) {
            const int columns = SpanOf(child, "colspan");
            const int rows = SpanOf(child, "rowspan");
            if (columns > 1 || rows > 1) {
                sink_.CellSpan(columns, rows);
            }
            DepthGuard guard(depth_);
            WalkChildren(child);
        } else {
            WalkNode(child);
        }
        EndParagraph();
        sink_.EndCell();
    }
    sink_.EndRow();
}

void HtmlWalker::WalkNote(xmlNode* element, NoteKind kind) {
    if (inNote_) {
        WalkChildren(element);
        return;
    }
    EndParagraph();
    std::string mark;
    if (xmlNode* backLink = FindBackLink(element, depth_)) {
        std::string text;
        AppendNodeText(backLink, text, depth_);
        mark = NoteMark(std::move(text), Attribute(element, "id"));
    } else {
        mark = NoteMark({}, Attribute(element, "id"));
    }
    sink_.StartNote(kind, mark);
    inNote_ = true;
    WalkChildren(element);
    EndParagraph();
    inNote_ = false;
    sink_.EndNote();
}

void HtmlWalker::WalkNoteListChild(xmlNode* child) {
    NoteKind kind;
    if (child->type == XML_ELEMENT_NODE && NoteKindOf(child, Style(child), kind)) {
        DepthGuard guard(depth_);
        WalkNote(child, kind);
    }
}

// One nesting level more, refused past the limit as every recursive walk is.
void HtmlWalker::EnterLevel() {
    { DepthGuard check(depth_); }
    ++depth_;
}

void HtmlWalker::OnText(std::string_view text) {
    if (preDepth_ > 0) {
        if (preStart_) {
            preStart_ = false;
            if (StartsWith(text, "\r\n")) {
                text.remove_prefix(2);
            } else if (StartsWith(text, "\n")) {
                text.remove_prefix(1);
            }
        }
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text.size(); ++i) {
            const char c = i < text.size() ? text[i] : '\n';
            if (c != '\n' && c != '\t' && c != '\r') {
                continue;
            }
            if (i > start) {
                Emit(text.substr(start, i - start));
            }
            start = i + 1;
            if (i == text.size()) {
                break;
            }
            if (c == '\n') {
                ++pendingBreaks_;
            } else if (c == '\t') {
                Emit({});
                EnsureParagraph();
                sink_.Tab();
            }
        }
        return;
    }
    run_.clear();
    bool blank = true;
    for (const char c : text) {
        if (IsWhiteSpace(c)) {
            if (lineHasText_ || !run_.empty()) {
                pendingSpace_ = true;
            }
            continue;
        }
        if (pendingSpace_) {
            run_.push_back(' ');
            pendingSpace_ = false;
        }
        run_.push_back(c);
        blank = blank && (c == '\xC2' || c == '\xA0');
    }
    if (run_.empty()) {
        return;
    }
    if (blank && !paragraphOpen_) {
        heldSpaces_ += run_;  // &nbsp; alone: Word's way of writing an empty paragraph
        return;
    }
    if (symbolFont_ != SymbolFontKind::kOther) {
        Emit(MapSymbolFontText(run_, symbolFont_));
    } else {
        Emit(run_);
    }
}

void HtmlWalker::OnBreak() {
    ++pendingBreaks_;
    pendingSpace_ = false;
    lineHasText_ = false;
    heldSpaces_.clear();
}

void HtmlWalker::EnsureParagraph() {
    if (paragraphOpen_) {
        return;
    }
    sink_.StartParagraph();
    paragraphOpen_ = true;
    sentStyle_ = TextStyle{};
    if (headingLevel_ > 0) {
        sink_.Heading(headingLevel_);
    }
    if (hasLabel_) {
        if (listItem_) {
            sink_.ListItem(listItem_->level, listItem_->kind);
        }
        sink_.ListLabel(label_, "\t");
        hasLabel_ = false;
    }
    listItem_.reset();
}

void HtmlWalker::SendText(std::string_view text) {
    SendStyledText(sink_, sentStyle_, style_, text);
}

// Text after pending line breaks and held spaces; empty text only flushes those.
void HtmlWalker::Emit(std::string_view text) {
    if (text.empty() && pendingBreaks_ == 0 && heldSpaces_.empty()) {
        return;
    }
    EnsureParagraph();
    for (; pendingBreaks_ > 0; --pendingBreaks_) {
        sink_.Break(BreakKind::kLine);
    }
    if (!heldSpaces_.empty()) {
        SendText(heldSpaces_);
        heldSpaces_.clear();
    }
    if (text.empty()) {
        return;
    }
    if (inLink_ && !linkOpen_) {
        // The space before a link's text is no part of it.
        if (text.front() == ' ' && text.size() > 1) {
            SendText(" ");
            text.remove_prefix(1);
        }
        sink_.StartLink(linkTarget_, linkInternal_);
        linkOpen_ = true;
    }
    SendText(text);
    lineHasText_ = true;
}

void HtmlWalker::EndParagraph() {
    const bool hadContent = paragraphOpen_ || pendingBreaks_ > 0 || !heldSpaces_.empty();
    if (hadContent) {
        EnsureParagraph();
        // A last <br> in a block ends its line and adds no empty one.
        for (int i = 1; i < pendingBreaks_; ++i) {
            sink_.Break(BreakKind::kLine);
        }
        EndLink();
        sink_.EndParagraph();
    }
    headingLevel_ = 0;
    wordListLevel_ = -1;
    paragraphOpen_ = false;
    pendingSpace_ = false;
    pendingBreaks_ = 0;
    heldSpaces_.clear();
    lineHasText_ = false;
}

}  // namespace corvanel::convert::html
