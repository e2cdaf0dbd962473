#include "convert/html/HtmlDecoding.h"

#include "convert/core/TextEncoding.h"

#include <algorithm>
#include <cctype>

namespace corvanel::convert::html {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
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
        while (e < tag.size() && !std::isspace(static_cast<unsigned char>(tag[e])) &&
               tag[e] != '"' && tag[e] != '\'' && tag[e] != ';' && tag[e] != '/' && tag[e] != '>') {
            ++e;
        }
        if (e > v) {
            return std::string(tag.substr(v, e - v));
        }
    }
    return {};
}

std::string DecodeHtml(std::string_view bytes, std::string_view hint) {
    std::string utf8;
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
        if (IsValidUtf8(bytes)) {
            return std::string(bytes);
        }
        DecodeNamedCharset(bytes, "UTF-8", utf8);
        return utf8;
    }
    if (StartsWith(bytes, "\xFF\xFE")) {
        return DecodeUtf16Le(bytes.substr(2));
    }
    if (StartsWith(bytes, "\xFE\xFF")) {
        return DecodeUtf16Be(bytes.substr(2));
    }
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
    if (charset.empty() || charset == "utf-8") {
        if (IsValidUtf8(bytes)) {
            return std::string(bytes);
        }
        if (charset == "utf-8" && DecodeNamedCharset(bytes, "UTF-8", utf8)) {
            return utf8;
        }
        charset = "windows-1252";
    }
    if (DecodeNamedCharset(bytes, charset, utf8)) {
        return utf8;
    }
    return DecodeCodePage(bytes, 1252);
}

std::string CleanWordMarkup(std::string html) {
    if (html.find("<![") == std::string::npos && html.find(':') == std::string::npos) {
        return html;
    }
    std::string out;
    out.reserve(html.size());
    const std::string_view in(html);
    std::size_t i = 0;
    while (i < in.size()) {
        const std::size_t lt = in.find('<', i);
        if (lt == std::string_view::npos) {
            out.append(in.substr(i));
            break;
        }
        out.append(in.substr(i, lt - i));
        i = lt;
        const std::string_view rest = in.substr(lt);
        if (StartsWith(rest, "<!--")) {
            // Comments stay as they are (Word's conditional comments are comments).
            const std::size_t end = in.find("-->", lt + 4);
            const std::size_t stop = end == std::string_view::npos ? in.size() : end + 3;
            out.append(in.substr(lt, stop - lt));
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
        out.append(in.substr(lt, q - lt));
        if (q > p && q < in.size() && in[q] == ':') {
            out.push_back('-');
            ++q;
        }
        i = q;
    }
    return out;
}

}  // namespace corvanel::convert::html
