#include "convert/html/HtmlDecoding.h"

#include "convert/core/Ascii.h"
#include "convert/core/TextEncoding.h"
#include "convert/html/HtmlStreaming.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iterator>

namespace corvanel::convert::html {

namespace {

using ascii::StartsWith;

std::string Lower(std::string_view s) {
    return ascii::LowerCopy(s);
}

// The names browsers treat as other names.
std::string CanonicalCharset(std::string name) {
    name = Lower(name);
    if (name == "iso-8859-1" || name == "latin1" || name == "us-ascii" || name == "ascii" ||
        name == "iso8859-1" || name == "l1" || name == "cp1252") {
        return "windows-1252";
    }
    if (name == "gb2312" || name == "x-gbk") {
        return "gbk";
    }
    if (name == "ks_c_5601-1987" || name == "euc-kr") {
        return "cp949";
    }
    if (name == "shift_jis" || name == "x-sjis" || name == "sjis") {
        return "cp932";
    }
    if (name == "unicode" || name == "utf-16") {
        return "utf-16le";  // Word's "Unicode" pages are little-endian
    }
    if (name == "utf8") {
        return "utf-8";
    }
    return name;
}

}  // namespace

std::string DeclaredCharset(std::string_view html) {
    // Declarations sit in the head; Word puts long style sheets before them at times.
    const std::string head = Lower(html.substr(0, 64 * 1024));
    std::size_t pos = 0;
    while ((pos = head.find("<meta", pos)) != std::string::npos) {
        // Tags are taken one after the other, so a page of "<meta<meta..." costs linear time.
        const std::size_t end = std::min(head.find('>', pos), head.size());
        const std::string_view tag = std::string_view(head).substr(pos, end - pos);
        pos = end;
        const std::size_t at = tag.find("charset");
        if (at == std::string_view::npos) {
            continue;
        }
        std::size_t v = at + 7;
        while (v < tag.size() &&
               (tag[v] == ' ' || tag[v] == '=' || tag[v] == '"' || tag[v] == '\'')) {
            ++v;
        }
        std::size_t e = v;
        while (e < tag.size() && !ascii::IsSpace(tag[e]) && tag[e] != '"' && tag[e] != '\'' &&
               tag[e] != ';' && tag[e] != '/' && tag[e] != '>') {
            ++e;
        }
        if (e > v) {
            return std::string(tag.substr(v, e - v));
        }
    }
    return {};
}

namespace {

// The charset the bytes are read in when they have no byte-order mark.
std::string ChosenCharset(std::string_view bytes, std::string_view hint) {
    std::string charset = CanonicalCharset(std::string(hint));
    if (charset.empty()) {
        charset = CanonicalCharset(DeclaredCharset(bytes));
    }
    if (charset == "utf-16le" || charset == "utf-16be") {
        // A page saved as UTF-16 but labelled so in its own (ASCII) text cannot be: the label
        // was readable, so the bytes are 8-bit.
        if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] != 0) {
            charset.clear();
        }
    }
    return charset;
}

// How many leading bytes to drop when the bytes are the UTF-8 text already (a byte-order mark,
// or none); npos when they need decoding.
std::size_t Utf8Prefix(std::string_view bytes, std::string_view hint) {
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        return IsValidUtf8(bytes.substr(3)) ? 3 : std::string_view::npos;
    }
    if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF")) {
        return std::string_view::npos;
    }
    const std::string charset = ChosenCharset(bytes, hint);
    return (charset.empty() || charset == "utf-8") && IsValidUtf8(bytes) ? 0
                                                                         : std::string_view::npos;
}

// Character sets whose multi-byte sequences never hold a line feed or '>' and carry no state
// from one to the next: text in them decodes the same cut after those bytes as whole.
bool CutsAfterLineEnds(std::string_view charset) {
    static constexpr std::string_view kPrefixes[] = {
        "windows-125", "iso-8859-", "cp125",  "koi8-", "cp437", "cp850",  "cp852",
        "cp866",       "cp874",     "cp932",  "cp936", "cp949", "cp950",  "gbk",
        "gb18030",     "big5",      "euc-jp", "utf-8", "UTF-8", "tis-620"};
    return std::any_of(std::begin(kPrefixes), std::end(kPrefixes),
                       [charset](std::string_view prefix) { return StartsWith(charset, prefix); });
}

// A large page is decoded a slice of about PageStreamBytes() at a time, each ending after a line
// feed or '>', so that the decoder's working buffer (up to four times its input) stays small.
bool DecodeCharset(std::string_view bytes, const std::string& charset, std::string& utf8) {
    const std::size_t sliceBytes = PageStreamBytes();
    if (bytes.size() <= sliceBytes || !CutsAfterLineEnds(charset)) {
        return DecodeNamedCharset(bytes, charset, utf8);
    }
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    std::string slice;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.size();
        if (bytes.size() - start > sliceBytes) {
            const std::size_t cut = bytes.find_first_of("\n>", start + sliceBytes - 1);
            if (cut != std::string_view::npos) {
                end = cut + 1;
            }
        }
        if (!DecodeNamedCharset(bytes.substr(start, end - start), charset, slice)) {
            return false;  // an unknown name: the first slice tells
        }
        text += slice;
        start = end;
    }
    utf8 = std::move(text);
    return true;
}

std::string DecodeNotUtf8(std::string_view bytes, std::string_view hint) {
    std::string utf8;
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        DecodeCharset(bytes.substr(3), "UTF-8", utf8);
        return utf8;
    }
    if (StartsWith(bytes, "\xFF\xFE")) {
        return DecodeUtf16Le(bytes.substr(2));
    }
    if (StartsWith(bytes, "\xFE\xFF")) {
        return DecodeUtf16Be(bytes.substr(2));
    }
    std::string charset = ChosenCharset(bytes, hint);
    if (charset.empty() || charset == "utf-8") {
        if (charset == "utf-8" && DecodeCharset(bytes, "UTF-8", utf8)) {
            return utf8;
        }
        charset = "windows-1252";
    }
    if (DecodeCharset(bytes, charset, utf8)) {
        return utf8;
    }
    return DecodeCodePage(bytes, 1252);
}

}  // namespace

std::string DecodeHtml(std::string_view bytes, std::string_view hint) {
    const std::size_t prefix = Utf8Prefix(bytes, hint);
    if (prefix != std::string_view::npos) {
        return std::string(bytes.substr(prefix));
    }
    return DecodeNotUtf8(bytes, hint);
}

std::string DecodeHtml(std::string&& bytes, std::string_view hint) {
    const std::size_t prefix = Utf8Prefix(bytes, hint);
    if (prefix != std::string_view::npos) {
        std::string text = std::move(bytes);
        text.erase(0, prefix);
        return text;
    }
    return DecodeNotUtf8(bytes, hint);
}

std::string CleanWordMarkup(std::string html) {
    if (html.find("<![") == std::string::npos && html.find(':') == std::string::npos) {
        return html;
    }
    // What is kept is moved down over what is dropped: `out` never passes `i`.
    std::size_t out = 0;
    const auto keep = [&html, &out](std::size_t from, std::size_t count) {
        if (out != from) {
            std::memmove(html.data() + out, html.data() + from, count);
        }
        out += count;
    };
    const std::string_view in(html);
    std::size_t i = 0;
    while (i < in.size()) {
        const std::size_t lt = in.find('<', i);
        if (lt == std::string_view::npos) {
            keep(i, in.size() - i);
            break;
        }
        keep(i, lt - i);
        i = lt;
        const std::string_view rest = in.substr(lt);
        if (StartsWith(rest, "<!--")) {
            // Comments stay as they are (Word's conditional comments are comments).
            const std::size_t end = in.find("-->", lt + 4);
            const std::size_t stop = end == std::string_view::npos ? in.size() : end + 3;
            keep(lt, stop - lt);
            i = stop;
            continue;
        }
        if (StartsWith(rest, "<![if") || StartsWith(rest, "<![endif") ||
            StartsWith(rest, "<![IF") || StartsWith(rest, "<![ENDIF")) {
            const std::size_t end = in.find('>', lt);
            i = end == std::string_view::npos ? in.size() : end + 1;
            continue;
        }
        // <prefix:name or </prefix:name
        std::size_t p = lt + 1;
        if (p < in.size() && in[p] == '/') {
            ++p;
        }
        std::size_t q = p;
        while (q < in.size() && (std::isalpha(static_cast<unsigned char>(in[q])) ||
                                 (q > p && std::isdigit(static_cast<unsigned char>(in[q]))))) {
            ++q;
        }
        keep(lt, q - lt);
        if (q > p && q < in.size() && in[q] == ':') {
            html[out++] = '-';
            ++q;
        }
        i = q;
    }
    html.resize(out);
    return html;
}

}  // namespace corvanel::convert::html
