#include "convert/msword/StoryWriter.h"

#include "convert/core/EqField.h"
#include "convert/core/HyperlinkField.h"
#include "convert/core/Limits.h"
#include "convert/core/ListNumbering.h"
#include "convert/core/SymbolFont.h"
#include "convert/core/TextEncoding.h"

#include <algorithm>

namespace corvanel::convert::msword {

namespace {

constexpr char16_t kParagraphMark = 0x0D;
constexpr char16_t kCellMark = 0x07;
constexpr char16_t kTab = 0x09;
constexpr char16_t kLineBreak = 0x0B;
constexpr char16_t kPageBreak = 0x0C;
constexpr char16_t kColumnBreak = 0x0E;
constexpr char16_t kFieldBegin = 0x13;
constexpr char16_t kFieldSeparator = 0x14;
constexpr char16_t kFieldEnd = 0x15;
constexpr char16_t kNonBreakingHyphen = 0x1E;
constexpr char16_t kNoteReference = 0x02;
constexpr char16_t kCommentReference = 0x05;
constexpr char16_t kDrawnObject = 0x08;
constexpr char16_t kInlinePicture = 0x01;
constexpr std::uint32_t kNoPicture = 0xFFFFFFFF;
constexpr char16_t kSymbolPlaceholder = 0x28;
// Word nests tables at most 63 deep; a deeper claim is damage and is read as that depth.
constexpr std::int32_t kMaxTableDepth = 63;
constexpr std::uint16_t kDefaultParagraphFont = 10;
constexpr std::uint8_t kWord6NumberedList = 10;
constexpr std::uint8_t kWord6BulletedList = 11;

}  // namespace

StoryWriter::StoryWriter(const DocumentText& text, const CpRuns<CharProps>& chars,
                         const CpRuns<ParaProps>& paras, const Stories& stories, ListLabels& lists,
                         const Fonts& fonts, const StyleSheet& styles, DocumentSink& sink,
                         const std::vector<TableRowDefinition>& rows, const Drawings& drawings)
    : text_(text),
      chars_(chars),
      paras_(paras),
      stories_(stories),
      lists_(lists),
      fonts_(fonts),
      styles_(styles),
      sink_(sink),
      rows_(rows),
      drawings_(drawings),
      boxWritten_(stories.textBoxes.size(), false),
      pending_(text.RawCodePage()),
      word6Numbering_(fonts, text.RawCodePage() != 0 ? text.RawCodePage() : 1252) {
    UpdateNextNote();
    for (std::size_t i = 0; i < stories_.textBoxes.size(); ++i) {
        if (stories_.textBoxes[i].anchored) {
            boxesByAnchor_.push_back(i);
        }
    }
    std::stable_sort(boxesByAnchor_.begin(), boxesByAnchor_.end(),
                     [this](std::size_t a, std::size_t b) {
                         return stories_.textBoxes[a].anchorCp < stories_.textBoxes[b].anchorCp;
                     });
}

void StoryWriter::WriteBody() {
    WriteMargins(false);  // headers must come before the body
    WriteStory(stories_.main, Kind::kMain);
    // Text boxes whose anchor was not met (or not found) still appear, once, after the body.
    for (std::size_t i = 0; i < stories_.textBoxes.size(); ++i) {
        if (!boxWritten_[i]) {
            WriteTextBox(stories_.textBoxes[i]);
            boxWritten_[i] = true;
        }
    }
    WriteMargins(true);
}

// The headers and footers, or the comments. Each story ends in paragraph marks, one of them
// only closing the story; a comment's starts with its reference mark.
void StoryWriter::WriteMargins(bool comments) {
    for (const MarginEntry& margin : stories_.margins) {
        if ((margin.kind == MarginText::kComment) != comments) {
            continue;
        }
        CpRange text = margin.text;
        while (text.end - text.start >= 2 && text_.At(text.end - 1) == kParagraphMark &&
               text_.At(text.end - 2) == kParagraphMark) {
            --text.end;
        }
        if (comments && text.start < text.end && text_.At(text.start) == kCommentReference) {
            ++text.start;
        }
        Flush();
        sink_.StartMarginText(margin.kind, margin.author);
        WriteStory(text, Kind::kMargin);
        Flush();
        sink_.EndMarginText();
    }
}

void StoryWriter::Flush() {
    pending_.FlushTo(sink_);
}

bool StoryWriter::IsSectionMark(std::uint32_t cp) const {
    return std::binary_search(stories_.sectionMarks.begin(), stories_.sectionMarks.end(), cp);
}

std::size_t StoryWriter::TableDepth(const ParaProps& props) {
    if (!props.inTable && props.tableDepth <= 0) {
        return 0;
    }
    return static_cast<std::size_t>(std::clamp<std::int32_t>(props.tableDepth, 1, kMaxTableDepth));
}

bool StoryWriter::AnyShown(std::uint32_t from, std::uint32_t end) const {
    while (from < end) {
        std::uint32_t runEnd = end;
        const CharProps& props = chars_.Run(from, runEnd);
        if (!props.vanish && !props.deleted) {
            return true;
        }
        from = std::max(runEnd, from + 1);
    }
    return false;
}

std::uint32_t StoryWriter::FindParagraphEnd(std::uint32_t from, std::uint32_t end, bool& hasMark,
                                            std::uint32_t& firstMark) const {
    firstMark = end;
    std::uint32_t paragraphStart = from;
    for (std::uint32_t cp = from; cp < end; ++cp) {
        const char16_t c = text_.At(cp);
        if (c != kCellMark && c != kParagraphMark && !(c == kPageBreak && IsSectionMark(cp))) {
            continue;
        }
        // A hidden or deleted paragraph mark joins the paragraph to the next one, unless a table
        // starts or ends there.
        const CharProps& props = chars_.At(cp);
        if (c != kCellMark && (props.vanish || props.deleted) &&
            (cp + 1 >= end || TableDepth(paras_.At(cp)) == TableDepth(paras_.At(cp + 1)))) {
            // The joined paragraph is the first one whose text remains: one deleted whole (or
            // empty) is gone once the deletion is accepted.
            if (firstMark == end && AnyShown(paragraphStart, cp)) {
                firstMark = cp;
            }
            paragraphStart = cp + 1;
            continue;
        }
        firstMark = std::min(firstMark, cp);
        hasMark = true;
        return cp;
    }
    hasMark = false;
    return end;
}

void StoryWriter::WriteStory(CpRange range, Kind kind) {
    if (storyDepth_ >= 2 || range.end > text_.Size() || range.start >= range.end) {
        return;  // notes and text boxes never hold further stories
    }
    ++storyDepth_;
    // A note or text box may come in the middle of a paragraph, which goes on after it.
    const bool paragraphWasOpen = paragraphOpen_;
    const bool linkWasOpen = linkOpen_;
    paragraphOpen_ = linkOpen_ = false;
    State state{kind, {}, {}, 0, 0, range.end, {}, 0, 0};
    std::uint32_t cp = range.start;
    while (cp < range.end) {
        bool hasMark = false;
        std::uint32_t firstMark = 0;
        const std::uint32_t mark = FindParagraphEnd(cp, range.end, hasMark, firstMark);
        WriteParagraph(state, cp, mark, hasMark, firstMark);
        cp = hasMark ? mark + 1 : range.end;
    }
    CloseTablesDeeperThan(state, 0);
    --storyDepth_;
    paragraphOpen_ = paragraphWasOpen;
    linkOpen_ = linkWasOpen;
    sentStyle_.reset();
}

// The layout of the outermost table starting at `from`: the definitions of its rows are at
// their ends.
std::vector<RowLayout> StoryWriter::LayOutTableAt(std::uint32_t from, std::uint32_t end) const {
    std::vector<const TableRowDefinition*> rows;
    for (std::uint32_t cp = from; cp < end; ++cp) {
        if (text_.At(cp) != kCellMark) {
            continue;
        }
        const ParaProps& props = paras_.At(cp);
        if (!props.rowEnd || TableDepth(props) != 1) {
            continue;
        }
        rows.push_back(props.row != 0 && props.row <= rows_.size() ? &rows_[props.row - 1]
                                                                   : nullptr);
        if (cp + 1 >= end || TableDepth(paras_.At(cp + 1)) == 0) {
            break;
        }
    }
    return LayOutTable(rows);
}

void StoryWriter::OpenTables(State& state, std::size_t depth, bool openInnermostCell,
                             std::uint32_t at) {
    for (std::size_t level = 0; level < depth; ++level) {
        if (level == state.tables.size()) {
            sink_.StartTable();
            state.tables.push_back({});
            if (level == 0 && !rows_.empty()) {
                state.layout = LayOutTableAt(at, state.end);
                state.row = 0;
                state.cell = 0;
            }
        }
        TableLevel& t = state.tables[level];
        const bool innermost = level + 1 == depth;
        if (innermost && !openInnermostCell) {
            break;
        }
        const RowLayout* row =
            level == 0 && state.row < state.layout.size() ? &state.layout[state.row] : nullptr;
        if (!t.row) {
            sink_.StartRow();
            t.row = true;
            if (row != nullptr && row->header) {
                sink_.HeaderRow();
            }
        }
        if (!t.cell) {
            sink_.StartCell();
            t.cell = true;
            if (row != nullptr && state.cell < row->cells.size()) {
                const CellLayout& cell = row->cells[state.cell];
                if (cell.covered) {
                    sink_.CoveredCell();
                } else if (cell.columns > 1 || cell.rows > 1) {
                    sink_.CellSpan(cell.columns, cell.rows);
                }
            }
            if (level == 0) {
                ++state.cell;
            }
        }
    }
}

void StoryWriter::CloseTablesDeeperThan(State& state, std::size_t depth) {
    while (state.tables.size() > depth) {
        TableLevel& t = state.tables.back();
        if (t.cell) {
            sink_.EndCell();
        }
        if (t.row) {
            sink_.EndRow();
        }
        sink_.EndTable();
        state.tables.pop_back();
    }
}

void StoryWriter::WriteParagraph(State& state, std::uint32_t start, std::uint32_t mark,
                                 bool hasMark, std::uint32_t firstMark) {
    const char16_t markChar = hasMark ? text_.At(mark) : kParagraphMark;
    const ParaProps& props = paras_.At(hasMark ? mark : (mark > start ? mark - 1 : start));
    // Paragraphs joined by deleted or hidden marks are labelled as the first whose text remains.
    const ParaProps& first = firstMark < mark ? paras_.At(firstMark) : props;
    const std::size_t depth = TableDepth(props);
    const bool rowEnd = depth == 1 ? (props.rowEnd && markChar == kCellMark)
                                   : (depth > 1 && (props.innerRowEnd || props.rowEnd));
    const bool cellEnd =
        depth > 0 && !rowEnd && (markChar == kCellMark || (depth > 1 && props.innerCellEnd));

    CloseTablesDeeperThan(state, depth);
    if (rowEnd) {
        // The row's end mark: a paragraph of its own that closes the row. Text shown in it (a
        // damaged document) goes into a cell of the row, in a paragraph.
        const bool shown = AnyShown(start, mark);
        OpenTables(state, depth, shown, start);
        if (shown) {
            sink_.StartParagraph();
            paragraphOpen_ = true;
            sentStyle_ = TextStyle{};
        }
        WriteRun(state, start, mark, props.istd);
        Flush();
        if (shown) {
            EndOpenLink();
            paragraphOpen_ = false;
            sink_.EndParagraph();
        }
        TableLevel& t = state.tables[depth - 1];
        if (t.cell) {
            sink_.EndCell();
            t.cell = false;
        }
        if (t.row) {
            sink_.EndRow();
            t.row = false;
        }
        if (depth == 1) {
            ++state.row;
            state.cell = 0;
        }
        return;
    }
    const bool sectionMarkOnly = hasMark && markChar == kPageBreak && start == mark && depth == 0;
    if (sectionMarkOnly) {
        return;  // a section break on a line of its own adds no empty line
    }
    OpenTables(state, depth, true, start);
    sink_.StartParagraph();
    paragraphOpen_ = true;
    sentStyle_ = TextStyle{};
    if (const int heading = styles_.HeadingLevel(first.istd, first.outlineLevel); heading > 0) {
        sink_.Heading(heading);
    }
    if (first.ilfo != 0 && lists_.Next(first.ilfo, first.ilvl, label_, suffix_)) {
        sink_.ListItem(first.ilvl, lists_.Kind(first.ilfo, first.ilvl));
        sink_.ListLabel(label_, suffix_);
    } else if (text_.RawCodePage() != 0 && word6Numbering_.Next(first, label_, suffix_)) {
        // Word 6 numbers list paragraphs at levels 10 (numbers) and 11 (bullets); levels
        // 1-9 number headings.
        if (first.autoNumberLevel == kWord6NumberedList ||
            first.autoNumberLevel == kWord6BulletedList) {
            sink_.ListItem(0, first.autoNumberLevel == kWord6BulletedList ? ListKind::kBullet
                                                                          : ListKind::kNumbered);
        }
        sink_.ListLabel(label_, suffix_);
    }
    WriteRun(state, start, mark, props.istd);
    Flush();
    EndOpenLink();
    paragraphOpen_ = false;
    sink_.EndParagraph();
    if (cellEnd) {
        TableLevel& t = state.tables[depth - 1];
        sink_.EndCell();
        t.cell = false;
    }
}

bool StoryWriter::FieldCharacter(State& state, char16_t c) {
    std::vector<OpenField>& fields = state.fields;
    switch (c) {
        case kFieldBegin:
            if (fields.size() >= static_cast<std::size_t>(limits::kMaxNestingDepth)) {
                ++state.fieldsTooDeep;
            } else {
                fields.push_back({false, false, false, PendingText(text_.RawCodePage())});
                ++state.fieldsInCode;
            }
            return true;
        case kFieldSeparator:
            if (state.fieldsTooDeep == 0 && !fields.empty() && !fields.back().inResult) {
                fields.back().inResult = true;
                --state.fieldsInCode;
                if (state.fieldsInCode == 0) {
                    StartLinkAt(fields.back());
                }
            }
            return true;
        case kFieldEnd:
            if (state.fieldsTooDeep > 0) {
                --state.fieldsTooDeep;
            } else if (!fields.empty()) {
                OpenField field = std::move(fields.back());
                fields.pop_back();
                if (!field.inResult) {
                    --state.fieldsInCode;
                }
                if (field.link) {
                    EndOpenLink();
                }
                if (field.shown || state.fieldsInCode > 0) {
                    return true;
                }
                if (const auto text = EqFieldText(field.code.Take()); text && !text->empty()) {
                    pending_.AppendUtf8(*text);
                    if (!fields.empty()) {
                        fields.back().shown = true;
                    }
                }
            }
            return true;
        default:
            return false;
    }
}

// A hyperlink field's result is the link's text, within its paragraph.
void StoryWriter::StartLinkAt(OpenField& field) {
    if (!paragraphOpen_) {
        return;
    }
    std::string code = field.code.Take();
    const std::optional<HyperlinkTarget> link = ParseHyperlinkField(code);
    field.code.AppendUtf8(code);
    if (!link) {
        return;
    }
    EndOpenLink();
    Flush();
    sink_.StartLink(link->target, link->internal);
    linkOpen_ = true;
    field.link = true;
}

void StoryWriter::EndOpenLink() {
    if (linkOpen_) {
        Flush();
        sink_.EndLink();
        linkOpen_ = false;
    }
}

// Bold, italic and strikethrough: direct formatting over the character and paragraph styles.
void StoryWriter::SendStyle(const CharProps& props, std::uint16_t paraStyle) {
    if (!paragraphOpen_) {
        return;
    }
    const TextStyle paragraph = styles_.Chars(paraStyle);
    const TextStyle character =
        props.istd != kDefaultParagraphFont ? styles_.Chars(props.istd) : TextStyle{};
    const TextStyle style{ResolveToggle(props.bold, paragraph.bold || character.bold),
                          ResolveToggle(props.italic, paragraph.italic || character.italic),
                          ResolveToggle(props.strike, paragraph.strike || character.strike) ||
                              ResolveToggle(props.doubleStrike, false)};
    if (sentStyle_ != style) {
        Flush();
        sink_.Style(style);
        sentStyle_ = style;
    }
}

void StoryWriter::AppendCharacter(PendingText& to, char16_t c, const ByteTable* bytes,
                                  int codePage) {
    if (bytes != nullptr) {
        to.AppendCodePoint((*bytes)[c & 0xFF]);
    } else if (codePage != 0) {
        to.AppendByte(c, codePage);
    } else {
        to.Append(c);
    }
}

void StoryWriter::WriteRun(State& state, std::uint32_t start, std::uint32_t end,
                           std::uint16_t paraStyle) {
    std::uint32_t cp = start;
    while (cp < end) {
        std::uint32_t runEnd = end;
        const CharProps& props = chars_.Run(cp, runEnd);
        const bool leftOut = props.vanish || props.deleted;
        const std::uint16_t font = props.font != 0xFFFF ? props.font : styles_.Font(paraStyle);
        const ByteTable* bytes = nullptr;
        int codePage = 0;
        if (text_.RawCodePage() != 0) {
            codePage = fonts_.CodePage(font, text_.RawCodePage());
            bytes = BytesOf(codePage);
        }
        const bool plain = !props.symbol && !props.special;
        bool styleSent = false;  // once a run, and again after a note or box within it
        for (; cp < runEnd; ++cp) {
            const char16_t c = text_.At(cp);
            if (c < 0x20 && FieldCharacter(state, c)) {
                continue;
            }
            if (state.fieldsTooDeep > 0 || leftOut) {
                continue;
            }
            if (state.fieldsInCode > 0) {
                // The innermost field's code, kept for a field drawn from it.
                OpenField& field = state.fields.back();
                if (!field.inResult && c >= 0x20 && plain &&
                    field.code.Size() < kMaxFieldCodeBytes) {
                    AppendCharacter(field.code, c, bytes, codePage);
                }
                continue;
            }
            if (!state.fields.empty()) {
                state.fields.back().shown = true;
            }
            if (!styleSent && (c >= 0x20 || props.symbol)) {
                SendStyle(props, paraStyle);
                styleSent = true;
            }
            if (c >= 0x20 && !props.symbol && !(props.special && c == kSymbolPlaceholder) &&
                !(c >= 0xF020 && c <= 0xF0FF)) {
                AppendCharacter(pending_, c, bytes, codePage);
            } else {
                WriteSpecial(c, props, font);
            }
            if (state.kind == Kind::kMain) {
                if (cp >= nextNoteCp_) {
                    NotesAt(cp, c);
                    styleSent = false;
                }
                if (c == kDrawnObject) {
                    TextBoxesAt(cp);
                    ShapesAt(cp);
                    styleSent = false;
                }
            }
        }
    }
}

const StoryWriter::ByteTable* StoryWriter::BytesOf(int codePage) {
    if (codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950) {
        return nullptr;  // double-byte: decoded a run at a time
    }
    for (auto& [page, table] : byteTables_) {
        if (page == codePage) {
            return &table;
        }
    }
    // A single-byte code page: every byte is one character; decode them all once.
    ByteTable table{};
    std::string high;
    for (int b = 0; b < 256; ++b) {
        table[static_cast<std::size_t>(b)] = static_cast<char32_t>(b);
        if (b >= 0x80) {
            high.push_back(static_cast<char>(b));
        }
    }
    const std::string utf8 = DecodeCodePage(high, codePage);
    std::size_t at = 0;
    for (int b = 0x80; b < 256 && at < utf8.size(); ++b) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length && at + k < utf8.size(); ++k) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[at + k]) & 0x3F);
        }
        table[static_cast<std::size_t>(b)] = code;
        at += static_cast<std::size_t>(length);
    }
    byteTables_.emplace_back(codePage, table);
    return &byteTables_.back().second;
}

void StoryWriter::WriteSpecial(char16_t c, const CharProps& props, std::uint16_t font) {
    if (props.symbol) {
        Symbol(props);
        return;
    }
    if (props.special && (c < 0x20 || c == kSymbolPlaceholder)) {
        // Pictures, drawn objects, annotation marks, note separators: no text of their own.
        // Note references and text box anchors are handled by position.
        if (c == kInlinePicture) {
            InlinePicture(props);
        }
        return;
    }
    if (c >= 0x20) {
        // A private-use character stands for a character of a symbol font.
        symbolBuffer_.clear();
        AppendUtf8(symbolBuffer_, c);
        Flush();
        pending_.AppendUtf8(
            MapSymbolFontText(symbolBuffer_, ClassifySymbolFont(fonts_.Name(font))));
        return;
    }
    switch (c) {
        case kTab:
            Flush();
            sink_.Tab();
            break;
        case kLineBreak:
            Flush();
            sink_.Break(BreakKind::kLine);
            break;
        case kPageBreak:
            Flush();
            sink_.Break(BreakKind::kPage);
            break;
        case kColumnBreak:
            Flush();
            sink_.Break(BreakKind::kColumn);
            break;
        case kNonBreakingHyphen:
            pending_.AppendUtf8("-");
            break;
        default:
            break;  // soft hyphens (0x1F), joined paragraph marks, other controls: no text
    }
}

void StoryWriter::Symbol(const CharProps& props) {
    const SymbolFontKind kind = ClassifySymbolFont(fonts_.Name(props.symbolFont));
    char32_t code = props.symbolChar;
    char32_t mapped = 0;
    if (kind == SymbolFontKind::kSymbol) {
        mapped = SymbolToUnicode(code);
    } else if (kind == SymbolFontKind::kWingdings) {
        mapped = WingdingsToUnicode(code);
    } else {
        // Another font: its private-use form stands for the plain character.
        mapped = (code >= 0xF020 && code <= 0xF0FF) ? (code & 0xFF) : code;
    }
    if (mapped != 0) {
        Flush();
        pending_.AppendCodePoint(mapped);
    }
}

void StoryWriter::NotesAt(std::uint32_t cp, char16_t c) {
    auto emit = [&](const std::vector<NoteEntry>& notes, std::size_t& next, int& number,
                    NoteKind kind) {
        while (next < notes.size() && notes[next].referenceCp < cp) {
            ++next;  // references in hidden text or field codes: their notes stay out
        }
        while (next < notes.size() && notes[next].referenceCp == cp) {
            const NoteEntry& note = notes[next++];
            std::string mark;
            CpRange text = note.text;
            if (note.autoNumbered) {
                mark =
                    FormatNumber(++number, kind == NoteKind::kFootnote ? NumberFormat::kDecimal
                                                                       : NumberFormat::kLowerRoman);
                Flush();
                sink_.NoteReference(mark);
            } else {
                AppendUtf8(mark, c);
            }
            // The note's text starts with its own reference mark.
            if (text.start < text.end &&
                (text_.At(text.start) == kNoteReference || text_.At(text.start) == c)) {
                ++text.start;
            }
            Flush();
            sink_.StartNote(kind, mark);
            WriteStory(text, Kind::kNote);
            Flush();
            sink_.EndNote();
        }
    };
    emit(stories_.footnotes, nextFootnote_, footnoteNumber_, NoteKind::kFootnote);
    emit(stories_.endnotes, nextEndnote_, endnoteNumber_, NoteKind::kEndnote);
    UpdateNextNote();
}

void StoryWriter::UpdateNextNote() {
    nextNoteCp_ = 0xFFFFFFFF;
    if (nextFootnote_ < stories_.footnotes.size()) {
        nextNoteCp_ = stories_.footnotes[nextFootnote_].referenceCp;
    }
    if (nextEndnote_ < stories_.endnotes.size()) {
        nextNoteCp_ = std::min(nextNoteCp_, stories_.endnotes[nextEndnote_].referenceCp);
    }
}

void StoryWriter::TextBoxesAt(std::uint32_t cp) {
    auto at = std::lower_bound(boxesByAnchor_.begin(), boxesByAnchor_.end(), cp,
                               [this](std::size_t i, std::uint32_t position) {
                                   return stories_.textBoxes[i].anchorCp < position;
                               });
    for (; at != boxesByAnchor_.end() && stories_.textBoxes[*at].anchorCp == cp; ++at) {
        if (!boxWritten_[*at]) {
            boxWritten_[*at] = true;
            WriteTextBox(stories_.textBoxes[*at]);
        }
    }
}

// Shapes anchored here: WordArt's text comes as a text box's would, a picture is reported.
void StoryWriter::ShapesAt(std::uint32_t cp) {
    auto at = std::lower_bound(
        drawings_.anchored.begin(), drawings_.anchored.end(), cp,
        [](const AnchoredShape& shape, std::uint32_t position) { return shape.cp < position; });
    for (; at != drawings_.anchored.end() && at->cp == cp; ++at) {
        const ShapeFacts& shape = at->facts;
        Flush();
        if (!shape.wordArt.empty()) {
            sink_.StartFloatingText();
            std::string_view rest = shape.wordArt;
            while (!rest.empty()) {
                const auto end = rest.find_first_of("\r\n");
                sink_.StartParagraph();
                if (end != 0) {
                    sink_.Text(rest.substr(0, end));
                }
                sink_.EndParagraph();
                if (end == std::string_view::npos) {
                    break;
                }
                rest.remove_prefix(end + (rest.substr(end, 2) == "\r\n" ? 2 : 1));
            }
            sink_.EndFloatingText();
            sentStyle_.reset();
        } else if (shape.picture && paragraphOpen_) {
            sink_.Picture(shape.description, shape.title);
        }
    }
}

void StoryWriter::InlinePicture(const CharProps& props) {
    if (!paragraphOpen_ || props.pictureAt == kNoPicture || !drawings_.inlinePicture) {
        return;
    }
    if (const std::optional<ShapeFacts> shape = drawings_.inlinePicture(props.pictureAt)) {
        Flush();
        sink_.Picture(shape->description, shape->title);
    }
}

void StoryWriter::WriteTextBox(TextBoxEntry& box) {
    // Some writers end a box's text with an empty paragraph, which shows nothing.
    CpRange text = box.text;
    while (text.end - text.start >= 2 && text_.At(text.end - 1) == kParagraphMark &&
           text_.At(text.end - 2) == kParagraphMark) {
        --text.end;
    }
    Flush();
    sink_.StartFloatingText();
    WriteStory(text, Kind::kTextBox);
    Flush();
    sink_.EndFloatingText();
}

}  // namespace corvanel::convert::msword
