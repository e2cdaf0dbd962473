#include "convert/core/ConvertError.h"
#include "convert/core/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/html/HtmlDecoding.h"
#include "convert/html/HtmlWalker.h"
#include "convert/html/MimeMessage.h"

#include <libxml/HTMLparser.h>

#include <memory>
#include <new>
#include <string_view>

namespace corvanel::convert {

namespace {

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

void ReadHtmlText(std::string_view bytes, std::string_view charset, DocumentSink& sink) {
    const std::string html = html::CleanWordMarkup(html::DecodeHtml(bytes, charset));
    // The text is UTF-8 now; the parser is told so and ignores the page's own declaration.
    constexpr int kOptions = HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR |
                             HTML_PARSE_NOWARNING | HTML_PARSE_COMPACT;
    const std::unique_ptr<htmlParserCtxt, ParserFree> parser(htmlNewParserCtxt());
    if (!parser) {
        throw std::bad_alloc();
    }
    std::unique_ptr<xmlDoc, DocFree> doc(htmlCtxtReadMemory(
        parser.get(), html.data(), static_cast<int>(html.size()), nullptr, "UTF-8", kOptions));
    if (StoppedAtDepthLimit(parser.get())) {
        ThrowDamaged("its HTML elements are nested more deeply than any page needs");
    }
    if (!doc) {
        if (html.find_first_not_of(" \t\r\n") == std::string::npos) {
            return;  // an empty page is an empty document
        }
        ThrowDamaged("its HTML cannot be parsed");
    }
    html::HtmlWalker walker(sink);
    walker.Walk(xmlDocGetRootElement(doc.get()));
}

}  // namespace

void ReadHtml(SourceFile& source, DocumentSink& sink) {
    ReadHtmlText(source.Bytes(), {}, sink);
}

void ReadMht(SourceFile& source, DocumentSink& sink) {
    html::WebPagePart page;
    if (!html::FindWebPage(source.Bytes(), page)) {
        ThrowDamaged("the single-file web page holds no HTML page");
    }
    ReadHtmlText(page.html, page.charset, sink);
}

}  // namespace corvanel::convert
