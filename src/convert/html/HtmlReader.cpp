#include "convert/core/Ascii.h"
#include "convert/core/ConvertError.h"
#include "convert/core/PropertyValues.h"
#include "convert/Readers.h"
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

#include "convert/html/LibXml2.h"  // last: libxml2's calls go through the loaded library

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

// The page's head: what comes before its body, which is all a title and meta elements need.
std::string_view PageHead(std::string_view html) {
    constexpr std::size_t kMostHeadBytes = 1 << 20;
    html = html.substr(0, kMostHeadBytes);
    for (std::size_t at = html.find('<'); at != std::string_view::npos;
         at = html.find('<', at + 1)) {
        const std::string_view tag = html.substr(at + 1, 4);
        if (tag.size() == 4 && std::equal(tag.begin(), tag.end(), "body",
                                          [](char a, char b) { return (a | 0x20) == b; })) {
            return html.substr(0, at);
        }
    }
    return html;
}

std::string AttributeOf(xmlNode* element, const char* name) {
    xmlChar* value = xmlGetProp(element, reinterpret_cast<const xmlChar*>(name));
    if (value == nullptr) {
        return {};
    }
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

std::string LowerAscii(std::string text) {
    return ascii::LowerCopy(text);
}

// White space runs shown as one space, as a browser shows a title.
std::string CollapsedText(xmlNode* element) {
    xmlChar* content = xmlNodeGetContent(element);
    if (content == nullptr) {
        return {};
    }
    std::string text;
    bool space = false;
    for (const xmlChar* c = content; *c != 0; ++c) {
        if (*c == ' ' || *c == '\t' || *c == '\n' || *c == '\r' || *c == '\f') {
            space = true;
            continue;
        }
        if (space && !text.empty()) {
            text += ' ';
        }
        space = false;
        text += static_cast<char>(*c);
    }
    xmlFree(content);
    return text;
}

// The title and the meta elements naming the author and the dates, from the page's head parsed
// on its own (the body's walk may already have let go of its tree).
void SendPageProperties(std::string_view html, DocumentSink& sink) {
    const std::string_view head = PageHead(html);
    const std::unique_ptr<htmlParserCtxt, ParserFree> parser(htmlNewParserCtxt());
    if (!parser) {
        throw std::bad_alloc();
    }
    const std::unique_ptr<xmlDoc, DocFree> doc(htmlCtxtReadMemory(
        parser.get(), head.data(), static_cast<int>(head.size()), nullptr, "UTF-8", kParseOptions));
    xmlNode* node = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
    bool titleSeen = false;
    while (node != nullptr) {
        if (node->type == XML_ELEMENT_NODE && node->name != nullptr) {
            const std::string_view name = reinterpret_cast<const char*>(node->name);
            if (name == "title" && !titleSeen) {
                titleSeen = true;
                SendText(sink, DocumentProperty::kTitle, CollapsedText(node));
            } else if (name == "meta") {
                const std::string meta = LowerAscii(AttributeOf(node, "name"));
                const std::string content = AttributeOf(node, "content");
                if (meta == "author") {
                    SendText(sink, DocumentProperty::kAuthor, content);
                } else if (meta == "created" || meta == "dcterms.created") {
                    SendIsoDate(sink, DocumentProperty::kCreated, content);
                } else if (meta == "modified" || meta == "dcterms.modified") {
                    SendIsoDate(sink, DocumentProperty::kModified, content);
                }
            }
        }
        // Document order without recursion: first child, else the next sibling of the nearest
        // ancestor that has one.
        if (node->children != nullptr && node->type == XML_ELEMENT_NODE) {
            node = node->children;
            continue;
        }
        while (node != nullptr && node->next == nullptr) {
            node = node->parent != nullptr && node->parent->type == XML_ELEMENT_NODE ? node->parent
                                                                                     : nullptr;
        }
        if (node != nullptr) {
            node = node->next;
        }
    }
}

// A large page is parsed a piece at a time and walked while the parser builds its tree, which
// holds little more than the elements still open; a small one is parsed whole, then walked.
void ReadHtmlText(std::string bytes, std::string_view charset, DocumentSink& sink) {
    const std::string html = EscapeUnlikelyReferences(
        html::CleanWordMarkup(html::DecodeHtml(std::move(bytes), charset)));
    if (sink.WantsProperties()) {
        SendPageProperties(html, sink);
    }
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
    sink.Format("html");
    ReadHtmlText(source.TakeBytes(), {}, sink);
}

void ReadMht(SourceFile& source, DocumentSink& sink) {
    sink.Format("mht");
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
