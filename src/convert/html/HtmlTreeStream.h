#pragma once

#include "convert/html/HtmlWalker.h"

#include <libxml/HTMLparser.h>

#include <cstddef>
#include <exception>
#include <string_view>
#include <vector>

namespace corvanel::convert::html {

// Walks the tree libxml2's HTML parser builds while it is being built, and frees what has been
// walked, so that a large page never stands whole in memory. The parser's element events are
// watched: each element is planned when it starts (walked as it grows, walked whole once it is
// complete, or left out), and the children of an element are walked as soon as they are
// complete. What the parser itself still looks at stays in the tree: the document's own
// children, the open elements and, in each, its last child that is not a comment (the tree
// builder joins new text to a last text child, and the parser's white-space test looks past
// comments at it) with the comments after it.
class HtmlTreeStream {
public:
    // `page` is the text the parser reads, `parser` the parser that will read it; the stream
    // hooks itself into the parser's own handler table (and its user pointer, _private).
    HtmlTreeStream(HtmlWalker& walker, std::string_view page, htmlParserCtxt* parser);
    HtmlTreeStream(const HtmlTreeStream&) = delete;
    HtmlTreeStream& operator=(const HtmlTreeStream&) = delete;

    // After the parse: rethrows what failed while walking during the parse, else ends the
    // elements left open and walks what is left.
    void Finish();

private:
    struct Frame {
        xmlNode* node;
        HtmlWalker::Opened opened;  // content kWhole: walked once complete
        xmlNode* done = nullptr;    // its last child walked or handed to a frame of its own
    };

    static void OnStartElement(void* context, const xmlChar* name, const xmlChar** attributes);
    static void OnEndElement(void* context, const xmlChar* name);

    void Started(xmlNode* element) noexcept;
    void Ended(xmlNode* element) noexcept;
    void StartFrame(xmlNode* element);
    void EndFrame();
    void WalkUpTo(Frame& frame, const xmlNode* stop);
    void FreeWalked(Frame& frame);
    bool CaptionMayFollow();
    template <typename Step>
    void Walking(Step&& step);
    void Fail();

    HtmlWalker& walker_;
    std::string_view page_;
    htmlParserCtxt* parser_;
    startElementSAXFunc startElement_;
    endElementSAXFunc endElement_;
    std::vector<Frame> frames_;
    std::exception_ptr error_;
    std::size_t captionFrom_ = 0;  // where the last look for a caption began
    std::size_t captionAt_ = 0;    // what it found (npos: none)
    bool captionSearched_ = false;
};

}  // namespace corvanel::convert::html
