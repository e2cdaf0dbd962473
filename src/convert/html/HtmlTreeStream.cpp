#include "convert/html/HtmlTreeStream.h"

#include "convert/core/Ascii.h"
#include "convert/core/ConvertError.h"
#include "convert/html/HtmlElements.h"

#include <libxml/parserInternals.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "convert/html/LibXml2.h"  // last: libxml2's calls go through the loaded library

namespace corvanel::convert::html {

namespace {

bool IsDocumentLevel(const xmlNode* element) {
    return element->parent != nullptr && (element->parent->type == XML_HTML_DOCUMENT_NODE ||
                                          element->parent->type == XML_DOCUMENT_NODE);
}

// The first "<caption" from `from` on, in any case; npos when there is none.
std::size_t FindCaptionTag(std::string_view text, std::size_t from) {
    static constexpr std::string_view kTag = "<caption";
    while ((from = text.find('<', from)) != std::string_view::npos) {
        const std::string_view rest = text.substr(from, kTag.size());
        if (ascii::EqualsNoCase(rest, kTag)) {
            return from;
        }
        ++from;
    }
    return std::string_view::npos;
}

void FreeChildren(xmlNode* node) {
    xmlFreeNodeList(node->children);
    node->children = nullptr;
    node->last = nullptr;
}

}  // namespace

HtmlTreeStream::HtmlTreeStream(HtmlWalker& walker, std::string_view page, htmlParserCtxt* parser)
    : walker_(walker),
      page_(page),
      parser_(parser),
      startElement_(parser->sax->startElement),
      endElement_(parser->sax->endElement) {
    parser->sax->startElement = OnStartElement;
    parser->sax->endElement = OnEndElement;
    parser->_private = this;
}

void HtmlTreeStream::OnStartElement(void* context, const xmlChar* name,
                                    const xmlChar** attributes) {
    auto* parser = static_cast<htmlParserCtxt*>(context);
    auto* stream = static_cast<HtmlTreeStream*>(parser->_private);
    const int open = parser->nodeNr;
    stream->startElement_(context, name, attributes);
    // The tree builder refuses an element past its depth limit (and stops the parse).
    if (parser->nodeNr > open && parser->node != nullptr) {
        stream->Started(parser->node);
    }
}

void HtmlTreeStream::OnEndElement(void* context, const xmlChar* name) {
    auto* parser = static_cast<htmlParserCtxt*>(context);
    auto* stream = static_cast<HtmlTreeStream*>(parser->_private);
    xmlNode* element = parser->node;
    stream->endElement_(context, name);
    if (element != nullptr && parser->node != element) {
        stream->Ended(element);
    }
}

void HtmlTreeStream::Started(xmlNode* element) noexcept {
    try {
        if (frames_.empty()) {
            frames_.push_back({reinterpret_cast<xmlNode*>(element->doc), {}});
            frames_.back().opened.content = HtmlWalker::Content::kFlow;
        }
        if (IsDocumentLevel(element)) {
            // A new element at the document's level ends the one before it there (the parser
            // adds to an ended element only when it is the document's first child).
            while (frames_.size() > 1) {
                EndFrame();
            }
        } else if (frames_.back().opened.content == HtmlWalker::Content::kWhole) {
            return;  // inside an element walked once complete
        }
        if (frames_.back().node != element->parent) {
            ThrowDamaged("its HTML elements cannot be followed");
        }
        StartFrame(element);
    } catch (...) {
        Fail();
    }
}

void HtmlTreeStream::Ended(xmlNode* element) noexcept {
    try {
        if (frames_.size() < 2 || frames_.back().node != element) {
            return;  // inside an element walked once complete
        }
        if (IsDocumentLevel(element)) {
            // The parser may still add to it: it ends when the next one starts, or at the end.
            Frame& frame = frames_.back();
            WalkUpTo(frame, nullptr);
            FreeWalked(frame);
            return;
        }
        EndFrame();
    } catch (...) {
        Fail();
    }
}

void HtmlTreeStream::StartFrame(xmlNode* element) {
    Frame& parent = frames_.back();
    WalkUpTo(parent, element);
    FreeWalked(parent);
    const HtmlWalker::Content content = parent.opened.content;
    Frame frame{element, {}};
    Walking([&] {
        const bool table = element->type == XML_ELEMENT_NODE && Name(element) == "table";
        frame.opened = walker_.StartChild(content, element, table && CaptionMayFollow());
    });
    frames_.push_back(frame);
}

void HtmlTreeStream::EndFrame() {
    Frame frame = frames_.back();
    frames_.pop_back();
    Frame& parent = frames_.back();
    if (frame.opened.content == HtmlWalker::Content::kWhole) {
        Walking([&] { walker_.WalkChild(parent.opened.content, frame.node); });
    } else {
        WalkUpTo(frame, nullptr);
        Walking([&] { walker_.Close(frame.opened); });
    }
    parent.done = frame.node;
    FreeChildren(frame.node);
}

void HtmlTreeStream::WalkUpTo(Frame& frame, const xmlNode* stop) {
    if (frame.opened.content == HtmlWalker::Content::kWhole) {
        return;
    }
    xmlNode* child = frame.done != nullptr ? frame.done->next : frame.node->children;
    for (; child != nullptr && child != stop; child = child->next) {
        Walking([&] { walker_.WalkChild(frame.opened.content, child); });
        frame.done = child;
    }
}

// Frees the walked children before the last one that is not a comment. The document's own
// children stay: the parser looks at its document type and at its first child.
void HtmlTreeStream::FreeWalked(Frame& frame) {
    if (frame.done == nullptr || frame.opened.content == HtmlWalker::Content::kWhole ||
        &frame == &frames_.front()) {
        return;
    }
    const xmlNode* keep = frame.node->last;
    while (keep != nullptr && keep->type == XML_COMMENT_NODE) {
        keep = keep->prev;
    }
    xmlNode* child = frame.node->children;
    while (child != nullptr && child != keep) {
        xmlNode* next = child->next;
        const bool last = child == frame.done;
        xmlUnlinkNode(child);
        xmlFreeNode(child);
        if (last) {
            frame.done = nullptr;
            break;
        }
        child = next;
    }
}

// Whether "<caption" appears after what the parser has read so far. The parser holds the page
// converted up to rawconsumed and has still to read what lies between cur and end of it.
bool HtmlTreeStream::CaptionMayFollow() {
    std::size_t from = 0;
    const xmlParserInput* input = parser_->input;
    if (input != nullptr && input->buf != nullptr && input->cur != nullptr &&
        input->end != nullptr && input->end >= input->cur) {
        const auto unread = static_cast<std::size_t>(input->end - input->cur);
        const std::size_t converted = input->buf->rawconsumed;
        from = converted > unread ? converted - unread : 0;
    }
    from = std::min(from, page_.size());
    if (!captionSearched_ || from < captionFrom_ ||
        (captionAt_ != std::string_view::npos && captionAt_ < from)) {
        captionFrom_ = from;
        captionAt_ = FindCaptionTag(page_, from);
        captionSearched_ = true;
    }
    return captionAt_ != std::string_view::npos;
}

// A walking step during the parse. After a fault nothing more is walked, though the tree is
// still followed and freed: a parse stopped at its depth limit outweighs the fault, as when
// the page is parsed whole before it is walked.
template <typename Step>
void HtmlTreeStream::Walking(Step&& step) {
    if (error_) {
        return;
    }
    try {
        step();
    } catch (...) {
        Fail();
    }
}

void HtmlTreeStream::Fail() {
    if (!error_) {
        error_ = std::current_exception();
    }
    try {
        std::rethrow_exception(error_);
    } catch (const ConvertError&) {
    } catch (...) {
        xmlStopParser(parser_);  // out of memory and the like: no use reading on
    }
}

void HtmlTreeStream::Finish() {
    if (error_) {
        std::rethrow_exception(error_);
    }
    while (frames_.size() > 1) {
        EndFrame();
    }
    if (!frames_.empty()) {
        WalkUpTo(frames_.front(), nullptr);
    }
    if (error_) {
        std::rethrow_exception(error_);
    }
    walker_.Finish();
}

}  // namespace corvanel::convert::html
