#include "convert/odf/OdfBodyReader.h"

#include "convert/core/ConvertError.h"
#include "convert/core/DocumentSink.h"
#include "convert/core/StyledText.h"
#include "convert/core/XmlDocument.h"
#include "convert/odf/OdfNodes.h"

#include <cstring>
#include <utility>

namespace corvanel::convert::odf {

namespace {

constexpr int kMaxSpaces = 4096;
// Walking repeated table content again is bounded in total, so nested repeats cannot multiply
// into hours of work.
constexpr std::uint64_t kMaxRepeatedVisits = 10'000'000;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The visible text of a small element (a note citation), whitespace trimmed.
std::string PlainTextOf(pugi::xml_node node) {
    std::string text;
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
            text += n.value();
        } else if (n.type() == pugi::node_element && n.first_child().type() == pugi::node_pcdata) {
            text += n.first_child().value();
        }
    }
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool IsShownSection(pugi::xml_node section) {
    return std::string_view(section.attribute("text:display").value()) != "none" &&
           !IsTrue(section, "text:is-hidden");
}

// A paragraph marked hidden by a hidden-paragraph field whose condition holds.
bool HasHiddenParagraphField(pugi::xml_node paragraph) {
    for (pugi::xml_node n = paragraph.first_child(); n; n = n.next_sibling()) {
        if (KindOf(n) == Kind::kHiddenParagraph && IsTrue(n, "text:is-hidden")) {
            return true;
        }
    }
    return false;
}

}  // namespace

void BodyReader::Read(pugi::xml_node body) {
    Blocks(body);
}

bool BodyReader::BlockInPieces(pugi::xml_node element, const NextPiece& nextPiece) {
    switch (KindOf(element)) {
        case Kind::kTable:
            CountRepeatedVisit();
            CancelPendingLabel();
            TableFromPieces(nextPiece);
            return true;
        case Kind::kSection:
            CountRepeatedVisit();
            if (IsShownSection(element)) {
                for (pugi::xml_node piece = nextPiece(); piece; piece = nextPiece()) {
                    Blocks(piece);
                }
            }
            return true;
        default:
            return false;
    }
}

void BodyReader::CountRepeatedVisit() {
    if (repeating_ > 0 && ++repeatedVisits_ > kMaxRepeatedVisits) {
        ThrowTooLarge("its tables repeat more content than the converter allows");
    }
}

void BodyReader::Blocks(pugi::xml_node parent) {
    DepthGuard guard(depth_);
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element) {
            Block(node);
        }
    }
}

void BodyReader::Block(pugi::xml_node node) {
    CountRepeatedVisit();
    switch (KindOf(node)) {
        case Kind::kParagraph:
            Paragraph(node, false);
            return;
        case Kind::kHeading:
            Paragraph(node, true);
            return;
        case Kind::kList:
            CancelPendingLabel();
            List(node);
            return;
        case Kind::kNumberedParagraph:
            CancelPendingLabel();
            NumberedParagraph(node);
            return;
        case Kind::kTable:
            CancelPendingLabel();
            Table(node);
            return;
        case Kind::kShape:
            ShapeLinking(node, false);
            return;
        case Kind::kSection:
            if (IsShownSection(node)) {
                Blocks(node);
            }
            return;
        case Kind::kSkip:
        case Kind::kHiddenText:
        case Kind::kHiddenParagraph:
        case Kind::kAnnotation:  // belongs inside a paragraph
            return;
        default:
            // Indexes, index bodies, change markers and elements Corvanel does not know: their
            // paragraphs are still text.
            Blocks(node);
            return;
    }
}

void BodyReader::Paragraph(pugi::xml_node node, bool heading) {
    const char* styleName = node.attribute("text:style-name").value();
    if (styles_.IsHidden(styleName, StyleSheet::Family::kParagraph) ||
        HasHiddenParagraphField(node)) {
        CancelPendingLabel();
        return;
    }
    sink_.StartParagraph();
    const bool structure = sink_.WantsStructure();  // its styles cost time
    if (const int level = structure ? HeadingLevel(node, heading) : 0; level > 0) {
        sink_.Heading(level);
    }
    Label(node, heading);
    InlineState state;
    if (structure) {
        state.style = styles_.ParagraphTextStyle(styleName);
    }
    InlineChildren(node, state);
    sink_.EndParagraph();
}

// A text:h's outline level (its style's when it states none, else 1), or the level its style
// gives a text:p; 0 for a plain paragraph. Levels past 6 are 6.
int BodyReader::HeadingLevel(pugi::xml_node node, bool heading) {
    const std::string_view styleName = node.attribute("text:style-name").value();
    int level = 0;
    if (heading) {
        level = IntAttribute(node, "text:outline-level").value_or(0);
        if (level < 1) {
            level = styles_.OutlineLevel(styleName);
        }
        level = level < 1 ? 1 : level;
    } else {
        level = styles_.OutlineLevel(styleName);
    }
    return level > 6 ? 6 : level;
}

void BodyReader::SendText(std::string_view text, InlineState& state) {
    SendStyledText(sink_, state.sent, state.style, text);
}

// The children of a span (or link) in the style it sets over the text around it.
void BodyReader::StyledChildren(pugi::xml_node node, InlineState& state) {
    const TextStyle outer = state.style;
    const std::string_view styleName = node.attribute("text:style-name").value();
    if (!styleName.empty() && sink_.WantsStructure()) {
        state.style = styles_.SpanTextStyle(styleName, outer);
    }
    InlineChildren(node, state);
    state.style = outer;
}

// A text:a, or a cross-reference (its text links to the bookmark, mark or note it names).
void BodyReader::Link(pugi::xml_node link, InlineState& state) {
    const std::string_view href = link.attribute("xlink:href").value();
    const std::string_view reference = link.attribute("text:ref-name").value();
    if (href.empty() && reference.empty()) {
        StyledChildren(link, state);
        return;
    }
    if (state.pendingSpace) {
        FlushSpace(state);  // the space before the link is no part of it
    }
    const bool internal = href.empty() || href.front() == '#';
    sink_.StartLink(href.empty() ? reference : (internal ? href.substr(1) : href), internal);
    const bool outer = std::exchange(inLink_, true);
    StyledChildren(link, state);
    inLink_ = outer;
    sink_.EndLink();
}
void BodyReader::InlineChildren(pugi::xml_node parent, InlineState& state) {
    DepthGuard guard(depth_);
    for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
        Inline(node, state);
    }
}

void BodyReader::FlushSpace(InlineState& state) {
    if (state.pendingSpace) {
        SendText(" ", state);
        state.pendingSpace = false;
    }
    state.lineStart = false;
}

void BodyReader::Characters(std::string_view text, InlineState& state) {
    text_.clear();
    for (const char c : text) {
        if (IsSpace(c)) {
            state.pendingSpace = !state.lineStart;
            continue;
        }
        if (state.pendingSpace) {
            text_ += ' ';
            state.pendingSpace = false;
        }
        text_ += c;
        state.lineStart = false;
    }
    SendText(text_, state);
}

void BodyReader::Inline(pugi::xml_node node, InlineState& state) {
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
        Characters(node.value(), state);
        return;
    }
    if (node.type() != pugi::node_element) {
        return;
    }
    CountRepeatedVisit();
    switch (KindOf(node)) {
        case Kind::kSpace: {
            FlushSpace(state);
            const int count = Count(node, "text:c", kMaxSpaces);
            SendText(std::string(static_cast<size_t>(count), ' '), state);
            return;
        }
        case Kind::kTab:
            FlushSpace(state);
            sink_.Tab();
            return;
        case Kind::kLineBreak:
            state.pendingSpace = false;
            state.lineStart = true;
            sink_.Break(BreakKind::kLine);
            return;
        // Their paragraphs come in between: this paragraph's style is sent again after them.
        case Kind::kNote:
            Note(node, state);
            state.sent.reset();
            return;
        case Kind::kShape:
            ShapeLinking(node, !inLink_);
            state.sent.reset();
            return;
        case Kind::kAnnotation:
            Annotation(node);
            state.sent.reset();
            return;
        case Kind::kHiddenText:
            if (std::string_view(node.attribute("text:is-hidden").value()) == "false") {
                Characters(node.attribute("text:string-value").value(), state);
            }
            return;
        case Kind::kRuby:
            // The base text only; the annotation above it is not part of the line.
            for (pugi::xml_node part = node.first_child(); part; part = part.next_sibling()) {
                if (std::strcmp(part.name(), "text:ruby-base") == 0) {
                    InlineChildren(part, state);
                }
            }
            return;
        case Kind::kSkip:
        case Kind::kHiddenParagraph:
            return;
        case Kind::kParagraph:
        case Kind::kHeading:
        case Kind::kList:
        case Kind::kNumberedParagraph:
        case Kind::kTable:
        case Kind::kSection:
            // Block content where only inline content belongs: keep its text in this line.
            InlineChildren(node, state);
            return;
        default:
            if (styles_.IsHidden(node.attribute("text:style-name").value(),
                                 StyleSheet::Family::kText)) {
                return;
            }
            // Spans, links, fields (their displayed text), metadata wrappers.
            if (std::strcmp(node.name(), "text:a") == 0 ||
                std::string_view(node.name()).ends_with("-ref")) {
                Link(node, state);
            } else {
                StyledChildren(node, state);
            }
            return;
    }
}

void BodyReader::Note(pugi::xml_node note, InlineState& state) {
    const bool endnote = std::string_view(note.attribute("text:note-class").value()) == "endnote" ||
                         std::strcmp(note.name(), "text:endnote") == 0;
    // OpenOffice.org 1.x wrote <text:footnote> with <text:footnote-citation> and -body.
    pugi::xml_node citation = note.child("text:note-citation");
    if (!citation) {
        citation = note.child(endnote ? "text:endnote-citation" : "text:footnote-citation");
    }
    std::string mark = citation.attribute("text:label").value();
    if (mark.empty()) {
        mark = PlainTextOf(citation);
    }
    FlushSpace(state);
    sink_.NoteReference(mark);
    pugi::xml_node body = note.child("text:note-body");
    if (!body) {
        body = note.child(endnote ? "text:endnote-body" : "text:footnote-body");
    }
    WithOwnLists([&] {
        sink_.StartNote(endnote ? NoteKind::kEndnote : NoteKind::kFootnote, mark);
        Blocks(body);
        sink_.EndNote();
    });
}

void BodyReader::SendMarginText(MarginText kind, std::string_view author, pugi::xml_node content) {
    WithOwnLists([&] {
        sink_.StartMarginText(kind, author);
        Blocks(content);  // an annotation's author and date are no blocks: their text stays out
        sink_.EndMarginText();
    });
}

void BodyReader::Annotation(pugi::xml_node annotation) {
    if (sink_.WantsMarginText(MarginText::kComment)) {
        const pugi::xml_node creator = annotation.find_child(
            [](pugi::xml_node n) { return LocalName(n.name()) == "creator"; });
        SendMarginText(MarginText::kComment, PlainTextOf(creator), annotation);
    }
}

void BodyReader::HeadersAndFooters(pugi::xml_node masterStyles) {
    for (pugi::xml_node page = masterStyles.first_child(); page; page = page.next_sibling()) {
        if (std::strcmp(page.name(), "style:master-page") != 0) {
            continue;
        }
        for (const auto& [kind, name] : {std::pair{MarginText::kHeader, "style:header"},
                                         {MarginText::kHeader, "style:header-first"},
                                         {MarginText::kHeader, "style:header-left"},
                                         {MarginText::kFooter, "style:footer"},
                                         {MarginText::kFooter, "style:footer-first"},
                                         {MarginText::kFooter, "style:footer-left"}}) {
            const pugi::xml_node content = page.child(name);
            if (content && sink_.WantsMarginText(kind) &&
                std::string_view(content.attribute("style:display").value()) != "false") {
                SendMarginText(kind, {}, content);
            }
        }
    }
}

void BodyReader::ShapeLinking(pugi::xml_node shape, bool linkPictures) {
    const bool outer = std::exchange(linkPictures_, linkPictures);
    Shape(shape);
    linkPictures_ = outer;
}

void BodyReader::Shape(pugi::xml_node shape) {
    DepthGuard guard(depth_);
    const std::string_view name(shape.name());
    if (name == "draw:frame") {
        // A frame holds alternative views of one object; its text box is the one with text.
        if (const pugi::xml_node box = shape.child("draw:text-box")) {
            FloatingText(box);
        } else if (IsPicture(shape)) {
            Picture(shape);
        }
        return;
    }
    if (name == "draw:g" || name == "draw:a") {
        // A draw:a makes the pictures in it links.
        const std::string_view href = shape.attribute("xlink:href").value();
        const bool internal = !href.empty() && href.front() == '#';
        for (pugi::xml_node child = shape.first_child(); child; child = child.next_sibling()) {
            if (KindOf(child) != Kind::kShape) {
                continue;
            }
            if (linkPictures_ && !href.empty() && std::string_view(child.name()) == "draw:frame" &&
                !child.child("draw:text-box") && IsPicture(child)) {
                sink_.StartLink(internal ? href.substr(1) : href, internal);
                Picture(child);
                sink_.EndLink();
            } else {
                Shape(child);
            }
        }
        return;
    }
    if (name == "draw:image" || name == "draw:object" || name == "draw:object-ole" ||
        name == "draw:plugin" || name == "draw:applet") {
        return;
    }
    // Shapes (rectangles, custom shapes, callouts...) carry their text as paragraphs.
    for (pugi::xml_node child = shape.first_child(); child; child = child.next_sibling()) {
        const Kind kind = KindOf(child);
        if (kind == Kind::kParagraph || kind == Kind::kHeading || kind == Kind::kList) {
            FloatingText(shape);
            return;
        }
    }
}

bool BodyReader::IsPicture(pugi::xml_node frame) {
    return frame.child("draw:image") && !frame.child("draw:object") &&
           !frame.child("draw:object-ole");
}

// An image's description and title: the frame's, or failing those its image's.
void BodyReader::Picture(pugi::xml_node frame) {
    const pugi::xml_node image = frame.child("draw:image");
    const auto textOf = [&](const char* name) {
        std::string text = PlainTextOf(frame.child(name));
        return text.empty() ? PlainTextOf(image.child(name)) : text;
    };
    sink_.Picture(textOf("svg:desc"), textOf("svg:title"));
}

void BodyReader::FloatingText(pugi::xml_node container) {
    WithOwnLists([&] {
        sink_.StartFloatingText();
        Blocks(container);
        sink_.EndFloatingText();
    });
}

}  // namespace corvanel::convert::odf
