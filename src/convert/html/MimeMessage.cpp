#include "convert/html/MimeMessage.h"

#include "convert/core/Ascii.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace corvanel::convert::html {

namespace {

// multipart/related inside multipart/alternative is as deep as web pages go.
constexpr int kMaxMultipartDepth = 8;

std::string Lower(std::string_view s) {
    return ascii::LowerCopy(s);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && ascii::IsSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && ascii::IsSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

struct Headers {
    std::string contentType;  // "text/html", lower-cased
    std::string boundary;
    std::string charset;
    std::string start;
    std::string transferEncoding;
    std::string location;
    std::string contentId;
};

// "text/html; charset=\"utf-8\"; boundary=..." into its type and parameters.
void ParseContentType(std::string_view value, Headers& h) {
    const std::size_t semi = value.find(';');
    h.contentType = Lower(Trim(value.substr(0, semi)));
    std::size_t pos = semi;
    while (pos != std::string_view::npos && pos < value.size()) {
        ++pos;
        const std::size_t eq = value.find('=', pos);
        if (eq == std::string_view::npos) {
            break;
        }
        const std::string name = Lower(Trim(value.substr(pos, eq - pos)));
        std::size_t v = eq + 1;
        while (v < value.size() && ascii::IsSpace(value[v])) {
            ++v;
        }
        std::string param;
        if (v < value.size() && value[v] == '"') {
            const std::size_t close = value.find('"', v + 1);
            param = std::string(value.substr(
                v + 1, close == std::string_view::npos ? std::string_view::npos : close - v - 1));
            pos = close == std::string_view::npos ? close : value.find(';', close);
        } else {
            const std::size_t end = value.find(';', v);
            param = std::string(Trim(
                value.substr(v, end == std::string_view::npos ? std::string_view::npos : end - v)));
            pos = end;
        }
        if (name == "boundary") {
            h.boundary = param;
        } else if (name == "charset") {
            h.charset = Lower(param);
        } else if (name == "start") {
            h.start = param;
        }
    }
}

// Reads the header block at the start of `entity`; returns the offset of the body.
std::size_t ParseHeaders(std::string_view entity, Headers& h) {
    std::size_t pos = 0;
    std::string line;
    auto finish = [&] {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            return;
        }
        const std::string name = Lower(Trim(std::string_view(line).substr(0, colon)));
        const std::string_view value = Trim(std::string_view(line).substr(colon + 1));
        if (name == "content-type") {
            ParseContentType(value, h);
        } else if (name == "content-transfer-encoding") {
            h.transferEncoding = Lower(value);
        } else if (name == "content-location") {
            h.location = std::string(value);
        } else if (name == "content-id") {
            h.contentId = std::string(value);
        }
    };
    while (pos < entity.size()) {
        std::size_t end = entity.find('\n', pos);
        if (end == std::string_view::npos) {
            end = entity.size();
        }
        std::string_view raw = entity.substr(pos, end - pos);
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
        }
        pos = end + 1;
        if (raw.empty()) {
            break;  // the blank line before the body
        }
        if (raw.front() == ' ' || raw.front() == '\t') {
            line += ' ';
            line.append(Trim(raw));  // a folded continuation line
            continue;
        }
        finish();
        line.assign(raw);
    }
    finish();
    return std::min(pos, entity.size());
}

std::string DecodeBody(std::string_view body, const Headers& h) {
    if (h.transferEncoding == "quoted-printable") {
        return DecodeQuotedPrintable(body);
    }
    if (h.transferEncoding == "base64") {
        return DecodeBase64(body);
    }
    return std::string(body);
}

// The bodies between the boundary lines of a multipart body.
std::vector<std::string_view> SplitParts(std::string_view body, const std::string& boundary) {
    std::vector<std::string_view> parts;
    const std::string delimiter = "--" + boundary;
    std::size_t pos = body.find(delimiter);
    while (pos != std::string_view::npos) {
        std::size_t start = pos + delimiter.size();
        if (body.substr(start, 2) == "--") {
            break;  // the closing delimiter
        }
        const std::size_t lineEnd = body.find('\n', start);
        if (lineEnd == std::string_view::npos) {
            break;
        }
        start = lineEnd + 1;
        std::size_t next = body.find("\n" + delimiter, start);
        const std::size_t end = next == std::string_view::npos ? body.size() : next;
        parts.push_back(body.substr(start, end - start));
        pos = next == std::string_view::npos ? next : next + 1;
    }
    return parts;
}

bool Matches(const Headers& h, std::string_view start) {
    std::string_view id = Trim(h.contentId);
    if (!id.empty() && id.front() == '<' && id.back() == '>') {
        id = id.substr(1, id.size() - 2);
    }
    std::string_view wanted = start;
    if (!wanted.empty() && wanted.front() == '<' && wanted.back() == '>') {
        wanted = wanted.substr(1, wanted.size() - 2);
    }
    return (!id.empty() && id == wanted) || (!h.location.empty() && h.location == wanted);
}

bool FindIn(std::string_view entity, WebPagePart& page, int depth) {
    Headers h;
    const std::size_t bodyStart = ParseHeaders(entity, h);
    const std::string_view body = entity.substr(bodyStart);
    if (h.contentType == "text/html" || (h.contentType.empty() && depth > 0)) {
        page.html = DecodeBody(body, h);
        page.charset = h.charset;
        return true;
    }
    if (h.contentType.rfind("multipart/", 0) != 0 || h.boundary.empty() ||
        depth >= kMaxMultipartDepth) {
        return false;
    }
    const std::vector<std::string_view> parts = SplitParts(body, h.boundary);
    if (!h.start.empty()) {
        for (const std::string_view part : parts) {
            Headers ph;
            ParseHeaders(part, ph);
            if (Matches(ph, h.start) && FindIn(part, page, depth + 1)) {
                return true;
            }
        }
    }
    for (const std::string_view part : parts) {
        Headers ph;
        ParseHeaders(part, ph);
        if ((ph.contentType == "text/html" || ph.contentType.rfind("multipart/", 0) == 0) &&
            FindIn(part, page, depth + 1)) {
            return true;
        }
    }
    return false;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

}  // namespace

std::string DecodeQuotedPrintable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '=') {
            out.push_back(c);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;  // soft line break
            continue;
        }
        if (i + 2 < text.size() && text[i + 1] == '\r' && text[i + 2] == '\n') {
            i += 2;
            continue;
        }
        const int high = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (high >= 0 && low >= 0) {
            out.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            out.push_back('=');  // not an escape: kept as written
        }
    }
    return out;
}

std::string DecodeBase64(std::string_view text) {
    std::string out;
    out.reserve(text.size() / 4 * 3);
    unsigned buffer = 0;
    int bits = 0;
    for (const char c : text) {
        int value;
        if (c >= 'A' && c <= 'Z') {
            value = c - 'A';
        } else if (c >= 'a' && c <= 'z') {
            value = c - 'a' + 26;
        } else if (c >= '0' && c <= '9') {
            value = c - '0' + 52;
        } else if (c == '+') {
            value = 62;
        } else if (c == '/') {
            value = 63;
        } else if (c == '=') {
            break;
        } else {
            continue;  // line breaks and other noise
        }
        buffer = (buffer << 6) | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((buffer >> bits) & 0xFF));
        }
    }
    return out;
}

bool FindWebPage(std::string_view message, WebPagePart& page) {
    return FindIn(message, page, 0);
}

}  // namespace corvanel::convert::html
