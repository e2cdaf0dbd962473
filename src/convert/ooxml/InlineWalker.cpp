// The inline half of BodyWalker: runs, fields, symbols, notes, text boxes and equations.

#include "convert/ooxml/BodyWalker.h"

#include "convert/core/ConvertError.h"
#include "convert/core/EqField.h"
#include "convert/core/HyperlinkField.h"
#include "convert/core/Limits.h"
#include "convert/core/TextEncoding.h"
#include "convert/ooxml/WordElements.h"
#include "convert/ooxml/WordXml.h"

#include <cstring>
#include <utility>

namespace corvanel::convert::ooxml {

namespace {

SymbolFontKind RunFont(pugi::xml_node fonts) {
    std::string_view name = AttrValue(fonts, "ascii");
    if (name.empty()) {
        name = AttrValue(fonts, "hAnsi");
    }
    return ClassifySymbolFont(name);
}

// The character of <w:sym w:font w:char>, or 0.
char32_t SymbolCharacter(pugi::xml_node sym) {
    const auto code = ParseHex(AttrValue(sym, "char"));
    if (!code || *code == 0 || *code > 0x10FFFF) {
        return 0;
    }
    const bool privateUse = *code >= 0xF020 && *code <= 0xF0FF;
    switch (ClassifySymbolFont(AttrValue(sym, "font"))) {
        case SymbolFontKind::kSymbol:
            if (const char32_t c = SymbolToUnicode(*code)) {
                return c;
            }
            break;
        case SymbolFontKind::kWingdings:
            // A glyph without a text equivalent keeps its private-use form rather than turning
            // into the unrelated letter of the same code.
            if (const char32_t c = WingdingsToUnicode(*code)) {
                return c;
            }
            return SymbolFontCode(*code) != 0 ? 0xF000 + SymbolFontCode(*code) : *code;
        case SymbolFontKind::kOther:
            break;
    }
    // Another font: the private-use form stands for the font's own character code.
    return privateUse ? *code - 0xF000 : *code;
}

BreakKind BreakType(pugi::xml_node br) {
    const std::string_view type = AttrValue(br, "type");
    if (type == "page") {
        return BreakKind::kPage;
    }
    if (type == "column") {
        return BreakKind::kColumn;
    }
    return BreakKind::kLine;
}

}  // namespace

void BodyWalker::Inline(pugi::xml_node container) {
    DepthGuard guard(depth_);
    for (pugi::xml_node child = container.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        switch (ClassifyElement(child.name())) {
            case WordElement::kRun:
                Run(child);
                break;
            case WordElement::kSimpleField:
                SimpleField(child);
                break;
            case WordElement::kHyperlink:
                Hyperlink(child);
                break;
            case WordElement::kTransparent:
            case WordElement::kContentControlContent:
                Inline(child);
                break;
            case WordElement::kContentControl:
                Inline(Child(child, "sdtContent"));
                break;
            case WordElement::kAlternateContent:
                Inline(ChooseAlternative(child));
                break;
            case WordElement::kMath:
                if (fields_.codeCount == 0) {
                    Math(child);
                }
                break;
            case WordElement::kAnnotation:
                if (AnnotationIsInsertion(child)) {
                    Inline(Child(child, "content"));
                } else {
                    Comment(child);
                }
                break;
            case WordElement::kOther:
                if (DescendUnknown()) {
                    Inline(child);
                }
                break;
            default:
                break;
        }
    }
}

void BodyWalker::Run(pugi::xml_node r) {
    RunState state;
    pugi::xml_node rPr = r.first_child();
    if (!Is(rPr, "rPr")) {
        rPr = Child(r, "rPr");
    }
    // One pass over the run properties: hidden (directly or by style), the font, the toggles.
    std::optional<bool> vanish;
    std::string_view style;
    WordStyles::Toggles direct = WordStyles::kUnset;
    for (pugi::xml_node child = rPr.first_child(); child; child = child.next_sibling()) {
        const std::string_view name = LocalName(child.name());
        if (name == "vanish") {
            vanish = OnOff(child);
        } else if (name == "rStyle") {
            style = AttrValue(child, "val");
        } else if (name == "rFonts") {
            state.font = RunFont(child);
        } else if (!structure_) {
            continue;
        } else if (const WordStyles::Toggle toggle = WordStyles::ToggleOf(name);
                   toggle != WordStyles::kToggleCount) {
            direct[toggle] = OnOff(child).value_or(false) ? 1 : 0;
        }
    }
    state.hidden = vanish ? *vanish : context_.styles.Hidden(style);
    if (!structure_) {
        RunContent(r, state);
        return;
    }
    // Direct formatting sets a toggle; a character style turns over what the paragraph style
    // (or the document defaults) set.
    const WordStyles::Toggles character = context_.styles.StyleToggles(style, true);
    const auto on = [&](WordStyles::Toggle toggle) {
        if (direct[toggle] >= 0) {
            return direct[toggle] > 0;
        }
        const bool base = paragraphToggles_[toggle] > 0;
        return character[toggle] > 0 ? !base : base;
    };
    const TextStyle outerStyle = std::exchange(
        runStyle_, TextStyle{on(WordStyles::kBold), on(WordStyles::kItalic),
                             on(WordStyles::kStrike) || on(WordStyles::kDoubleStrike)});
    RunContent(r, state);
    runStyle_ = outerStyle;
}

void BodyWalker::RunContent(pugi::xml_node container, RunState& state) {
    DepthGuard guard(depth_);
    for (pugi::xml_node child = container.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        const WordElement element = ClassifyElement(child.name());
        if (element == WordElement::kFieldChar) {
            Field(child);  // even when hidden: the field's structure must stay balanced
            continue;
        }
        if (element == WordElement::kFieldCode) {
            if (!state.hidden) {
                FieldCode(child.text().get());
            }
            continue;
        }
        if (!Visible(state)) {
            continue;
        }
        switch (element) {
            case WordElement::kText:
                if (!state.customMarkTaken) {
                    EmitText(child.text().get(), state.font);
                }
                break;
            case WordElement::kTab:
                sink_.Tab();
                break;
            case WordElement::kBreak:
                sink_.Break(BreakType(child));
                break;
            case WordElement::kCarriageReturn:
                sink_.Break(BreakKind::kLine);
                break;
            case WordElement::kSymbol:
                if (!state.customMarkTaken) {
                    Symbol(child);
                }
                break;
            case WordElement::kNoBreakHyphen:
                BeforeText();
                sink_.Text("-");
                break;
            case WordElement::kFootnoteReference:
                NoteReference(child, NoteKind::kFootnote, state);
                break;
            case WordElement::kEndnoteReference:
                NoteReference(child, NoteKind::kEndnote, state);
                break;
            case WordElement::kFootnote:
                InlineNote(child, NoteKind::kFootnote);
                break;
            case WordElement::kEndnote:
                InlineNote(child, NoteKind::kEndnote);
                break;
            case WordElement::kShape:
                Shapes(child);
                break;
            case WordElement::kAlternateContent:
                RunContent(ChooseAlternative(child), state);
                break;
            case WordElement::kRuby:
                Inline(Child(child, "rubyBase"));
                break;
            case WordElement::kRun:
                Run(child);  // some writers nest runs; Word shows their text
                break;
            case WordElement::kAnnotation:
                Comment(child);  // Word 2003 XML keeps a comment in its reference's run
                break;
            default:
                break;
        }
    }
}

void BodyWalker::BeforeText() {
    if (link_.id != 0 && !link_.sent) {
        sink_.StartLink(link_.target, link_.internal);
        link_.sent = true;
    }
    if (sentStyle_ != runStyle_) {
        sink_.Style(runStyle_);
        sentStyle_ = runStyle_;
    }
}

void BodyWalker::EmitText(std::string_view text, SymbolFontKind font) {
    BeforeText();
    ++textShown_;
    if (font == SymbolFontKind::kOther &&
        std::memchr(text.data(), '\xEF', text.size()) == nullptr) {
        sink_.Text(text);
        return;
    }
    sink_.Text(MapSymbolFontText(text, font));
}

void BodyWalker::Symbol(pugi::xml_node sym) {
    const char32_t c = SymbolCharacter(sym);
    if (c == 0) {
        return;
    }
    scratch_.clear();
    AppendUtf8(scratch_, c);
    BeforeText();
    ++textShown_;
    sink_.Text(scratch_);
}

void BodyWalker::Field(pugi::xml_node fldChar) {
    const std::string_view type = AttrValue(fldChar, "fldCharType");
    std::vector<OpenField>& open = fields_.open;
    if (type == "begin") {
        if (open.size() >= static_cast<size_t>(limits::kMaxNestingDepth)) {
            ThrowDamaged("its fields are nested more than " +
                         std::to_string(limits::kMaxNestingDepth) + " levels deep");
        }
        open.emplace_back();
        ++fields_.codeCount;
    } else if (type == "separate") {
        if (!open.empty() && open.back().inCode) {
            open.back().inCode = false;
            open.back().textBeforeResult = textShown_;
            --fields_.codeCount;
            // The result of a HYPERLINK field (or a reference marked \h) is the link's text.
            if (auto link = FieldLink(open.back().code)) {
                open.back().link = OpenLink(std::move(link->target), link->internal);
            }
        }
    } else if (type == "end") {
        if (!open.empty()) {
            OpenField field = std::move(open.back());
            open.pop_back();
            CloseLink(field.link);
            if (field.inCode) {
                --fields_.codeCount;
            } else if (textShown_ != field.textBeforeResult) {
                return;  // a stored result
            }
            DrawnField(field.code);
        }
    }
}

void BodyWalker::FieldCode(std::string_view text) {
    if (fields_.open.empty() || !fields_.open.back().inCode) {
        return;
    }
    std::string& code = fields_.open.back().code;
    if (code.size() + text.size() <= kMaxFieldCodeBytes) {
        code.append(text);
    }
}

void BodyWalker::SimpleField(pugi::xml_node fldSimple) {
    const std::uint64_t before = textShown_;
    int link = 0;
    if (auto target = FieldLink(AttrValue(fldSimple, "instr"))) {
        link = OpenLink(std::move(target->target), target->internal);
    }
    Inline(fldSimple);
    CloseLink(link);
    if (textShown_ == before) {
        DrawnField(AttrValue(fldSimple, "instr"));
    }
}

// A field without a result that Word draws from its code: an EQ field.
void BodyWalker::DrawnField(std::string_view code) {
    if (fields_.codeCount > 0) {
        return;  // inside another field's code
    }
    if (const auto text = EqFieldText(code); text && !text->empty()) {
        BeforeText();
        ++textShown_;
        sink_.Text(*text);
    }
}

void BodyWalker::NoteReference(pugi::xml_node reference, NoteKind kind, RunState& state) {
    if (inNote_) {
        return;  // notes hold no notes; this also stops a note from reaching itself
    }
    std::string mark;
    const pugi::xml_attribute custom = Attr(reference, "customMarkFollows");
    const std::string_view customValue = custom.value();
    if (custom && customValue != "0" && customValue != "false" && customValue != "off") {
        // The mark is the run's own text after the reference.
        for (pugi::xml_node next = reference.next_sibling(); next; next = next.next_sibling()) {
            const WordElement element = ClassifyElement(next.name());
            if (element == WordElement::kText) {
                mark += next.text().get();
            } else if (element == WordElement::kSymbol) {
                if (const char32_t c = SymbolCharacter(next)) {
                    AppendUtf8(mark, c);
                }
            }
        }
        state.customMarkTaken = true;
    } else {
        const NoteMarkFormat& format = context_.Marks(kind);
        std::int64_t& seen = kind == NoteKind::kFootnote ? footnotesSeen_ : endnotesSeen_;
        AppendFormattedNumber(mark, format.start + seen++, format.format);
    }
    sink_.NoteReference(mark);
    const auto id = ParseInteger(AttrValue(reference, "id"));
    const pugi::xml_node content = id ? context_.Notes(kind).Take(*id) : pugi::xml_node();
    if (content) {
        Note(kind, mark, content);
    }
}

void BodyWalker::InlineNote(pugi::xml_node note, NoteKind kind) {
    if (inNote_) {
        return;
    }
    const NoteMarkFormat& format = context_.Marks(kind);
    std::int64_t& seen = kind == NoteKind::kFootnote ? footnotesSeen_ : endnotesSeen_;
    const std::string mark = FormatNumber(format.start + seen++, format.format);
    sink_.NoteReference(mark);
    Note(kind, mark, note);
}

void BodyWalker::Note(NoteKind kind, std::string_view mark, pugi::xml_node content) {
    const bool outerInNote = std::exchange(inNote_, true);
    sink_.StartNote(kind, mark);
    WalkStory(content);
    sink_.EndNote();
    inNote_ = outerInNote;
}

std::optional<HyperlinkTarget> BodyWalker::FieldLink(std::string_view code) const {
    return structure_ ? ParseFieldLink(code) : std::nullopt;
}

void BodyWalker::Hyperlink(pugi::xml_node link) {
    if (!structure_) {
        Inline(link);
        return;
    }
    // <w:hyperlink r:id w:anchor>; Word 2003 XML: <w:hlink w:dest w:bookmark>.
    std::string target;
    if (const std::string_view id = AttrValue(link, "id"); !id.empty() && context_.linkTarget) {
        target = context_.linkTarget(link, id);
    }
    if (target.empty()) {
        target = AttrValue(link, "dest");
    }
    std::string_view bookmark = AttrValue(link, "anchor");
    if (bookmark.empty()) {
        bookmark = AttrValue(link, "bookmark");
    }
    const bool internal = target.empty();
    if (!bookmark.empty()) {
        target += internal ? "" : "#";
        target += bookmark;
    }
    const int opened = target.empty() ? 0 : OpenLink(std::move(target), internal);
    Inline(link);
    CloseLink(opened);
}

// Links do not nest: a link within another one's text, or in a field's code, is left out.
int BodyWalker::OpenLink(std::string target, bool internal) {
    if (link_.id != 0 || fields_.codeCount > 0 || target.empty()) {
        return 0;
    }
    link_ = LinkState{++links_, std::move(target), internal, false};
    return link_.id;
}

void BodyWalker::CloseLink(int link) {
    if (link == 0 || link_.id != link) {
        return;
    }
    if (link_.sent) {
        sink_.EndLink();
    }
    link_ = LinkState{};
}

void BodyWalker::Shapes(pugi::xml_node shape) {
    DepthGuard guard(depth_);
    for (pugi::xml_node child = shape.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        switch (ClassifyElement(child.name())) {
            case WordElement::kTextBoxContent:
                sink_.StartFloatingText();
                WalkStory(child);
                sink_.EndFloatingText();
                continue;
            case WordElement::kAlternateContent:
                Shapes(ChooseAlternative(child));
                continue;
            default:
                break;
        }
        const std::string_view name = LocalName(child.name());
        if (name == "inline" || name == "anchor") {
            // A drawing: its properties describe it; a picture holds no text.
            const std::string_view uri =
                AttrValue(Child(Child(child, "graphic"), "graphicData"), "uri");
            if (uri.ends_with("/picture")) {
                DrawingPicture(Child(child, "docPr"));
                continue;
            }
        } else if (name == "pic") {  // a picture in a group or a drawing canvas
            DrawingPicture(Child(Child(child, "nvPicPr"), "cNvPr"));
            continue;
        } else if (name == "textpath") {
            ShapeText(AttrValue(child, "string"));  // WordArt
            continue;
        } else if (const pugi::xml_node image = Child(child, "imagedata")) {  // VML
            LinkedPicture(AttrValue(child, "alt"), AttrValue(image, "title"),
                          std::string(AttrValue(child, "href")));
        }
        Shapes(child);
    }
}

void BodyWalker::DrawingPicture(pugi::xml_node properties) {
    std::string target;
    const pugi::xml_node click = Child(properties, "hlinkClick");
    if (const std::string_view id = AttrValue(click, "id"); !id.empty() && context_.linkTarget) {
        target = context_.linkTarget(click, id);
    }
    LinkedPicture(AttrValue(properties, "descr"), AttrValue(properties, "title"),
                  std::move(target));
}

void BodyWalker::LinkedPicture(std::string_view description, std::string_view title,
                               std::string target) {
    const int opened = structure_ ? OpenLink(std::move(target), false) : 0;
    BeforeText();
    sink_.Picture(description, title);
    CloseLink(opened);
}

void BodyWalker::Math(pugi::xml_node math) {
    DepthGuard guard(depth_);
    for (pugi::xml_node child = math.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        switch (ClassifyElement(child.name())) {
            case WordElement::kText:
                BeforeText();
                sink_.Text(child.text().get());
                break;
            case WordElement::kProperties:
            case WordElement::kDeleted:
            case WordElement::kDeletedText:
                break;
            case WordElement::kAlternateContent:
                Math(ChooseAlternative(child));
                break;
            default:
                Math(child);
                break;
        }
    }
}

}  // namespace corvanel::convert::ooxml
