#include "convert/core/ConvertError.h"
#include "convert/core/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/core/TextEncoding.h"
#include "convert/core/XmlScanning.h"
#include "convert/html/HtmlDecoding.h"
#include "convert/html/HtmlStreaming.h"
#include "convert/html/HtmlTreeStream.h"
#include "convert/html/HtmlWalker.h"
#include "convert/html/MimeMessage.h"

#include <libxml/HTMLparser.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace corvanel::convert {

namespace {

constexpr std::size_t kPageStreamBytes = 1 << 20;

std::atomic<std::size_t> pageStreamBytesForTesting{0};

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};

struct ParserFree {
    void operator()(htmlParserCtxt* parser) const { htmlFreeParserCtxt(parser); }
};

// Past its depth limit the parser stops and keeps only what it read so far; passing that on
// would silently lose the rest of the page.
bool StoppedAtDepthLimit(htmlParserCtxt* parser) {
    const xmlError* error = xmlCtxtGetLastError(parser);
    return error != nullptr && error->message != nullptr &&
           std::string_view(error->message).find("Excessive depth") != std::string_view::npos;
}

// The text is UTF-8 now; the parser is told so and ignores the page's own declaration.
constexpr int kParseOptions = HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR |
                              HTML_PARSE_NOWARNING | HTML_PARSE_COMPACT;

// What the parse gave, checked the same way however the page was parsed. False for an empty
// page (an empty document).
bool CheckParse(htmlParserCtxt* parser, const xmlDoc* doc, std::string_view html) {
    if (StoppedAtDepthLimit(parser)) {
        ThrowDamaged("its HTML elements are nested more deeply than any page needs");
    }
    if (doc == nullptr) {
        if (html.find_first_not_of(" \t\r\n") == std::string_view::npos) {
            return false;
        }
        ThrowDamaged("its HTML cannot be parsed");
    }
    return true;
}

// The parser's input for a page read in pieces. The parser counts on having at least
// INPUT_CHUNK (250) bytes ahead after asking for more, so a piece is never smaller than that.
struct PagePieces {
    static constexpr std::size_t kSmallestPiece = 256;

    std::string_view page;
    std::size_t pieceBytes;
    std::size_t given = 0;

    static int Read(void* context, char* buffer, int length) {
        auto* pieces = static_cast<PagePieces*>(context);
        const std::size_t count = std::min({static_cast<std::size_t>(std::max(length, 0)),
                                            std::max(pieces->pieceBytes, kSmallestPiece),
                                            pieces->page.size() - pieces->given});
        std::memcpy(buffer, pieces->page.data() + pieces->given, count);
        pieces->given += count;
        return static_cast<int>(count);
    }
};

// An "&" followed by a name no character reference has (longer than any, or with letters
// beyond ASCII) is written "&amp;": libxml2 reads such a name differently whole and in pieces,
// and whole it can drop part of it. Either way the text shows the "&" and the name as they are.
std::string EscapeUnlikelyReferences(std::string html) {
    constexpr std::size_t kLongestName = 32;
    std::string escaped;
    std::size_t copied = 0;
    for (std::size_t at = html.find('&'); at != std::string::npos; at = html.find('&', at + 1)) {
        std::size_t end = at + 1;
        bool ascii = true;
        while (end < html.size() && xmlscan::IsNameChar(html[end])) {
            ascii = ascii && static_cast<unsigned char>(html[end]) < 0x80;
            ++end;
        }
        if (ascii && end - at - 1 <= kLongestName) {
            continue;
        }
        escaped.append(html, copied, at + 1 - copied).append("amp;");
        copied = at + 1;
    }
    if (copied == 0) {
        return html;
    }
    escaped.append(html, copied, std::string::npos);
    return escaped;
}

// A large page is parsed a piece at a time and walked while the parser builds its tree, which
// holds little more than the elements still open; a small one is parsed whole, then walked.
void ReadHtmlText(std::string bytes, std::string_view charset, DocumentSink& sink) {
    const std::string html = EscapeUnlikelyReferences(
        html::CleanWordMarkup(html::DecodeHtml(std::move(bytes), charset)));
    const std::unique_ptr<htmlParserCtxt, ParserFree> parser(htmlNewParserCtxt());
    if (!parser) {
        throw std::bad_alloc();
    }
    html::HtmlWalker walker(sink);
    const std::size_t streamBytes = html::PageStreamBytes();
    // The parser reads a page in pieces through its encoder, which stops at bytes that are not
    // UTF-8; only a page it would read in full either way is streamed.
    if (html.size() <= streamBytes || !IsValidUtf8(html)) {
        std::unique_ptr<xmlDoc, DocFree> doc(htmlCtxtReadMemory(parser.get(), html.data(),
                                                                static_cast<int>(html.size()),
                                                                nullptr, "UTF-8", kParseOptions));
        if (CheckParse(parser.get(), doc.get(), html)) {
            walker.Walk(xmlDocGetRootElement(doc.get()));
        }
        return;
    }
    // Told the text is UTF-8, the parser skips a byte-order mark it finds already read; read in
    // pieces it has read nothing yet when told, so the mark is left out here.
    std::string_view text = html;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    html::HtmlTreeStream stream(walker, text, parser.get());
    PagePieces pieces{text, streamBytes};
    std::unique_ptr<xmlDoc, DocFree> doc(htmlCtxtReadIO(parser.get(), PagePieces::Read, nullptr,
                                                        &pieces, nullptr, "UTF-8", kParseOptions));
    if (CheckParse(parser.get(), doc.get(), html)) {
        stream.Finish();
    }
}

}  // namespace

std::size_t html::PageStreamBytes() {
    const std::size_t bytes = pageStreamBytesForTesting.load();
    return bytes != 0 ? bytes : kPageStreamBytes;
}

void html::SetPageStreamBytesForTesting(std::size_t bytes) {
    pageStreamBytesForTesting.store(bytes);
}

void ReadHtml(SourceFile& source, DocumentSink& sink) {
    ReadHtmlText(source.TakeBytes(), {}, sink);
}

void ReadMht(SourceFile& source, DocumentSink& sink) {
    html::WebPagePart page;
    {
        const std::string message = source.TakeBytes();
        if (!html::FindWebPage(message, page)) {
            ThrowDamaged("the single-file web page holds no HTML page");
        }
    }
    ReadHtmlText(std::move(page.html), page.charset, sink);
}

}  // namespace corvanel::convert
