#include "convert/markdown/MarkdownCharacters.h"

#include "convert/markdown/InlineWriter.h"

namespace corvanel::convert::markdown {

namespace {

bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

CharClass AsciiClass(unsigned char c) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
        return CharClass::kSpace;
    }
    if ((c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') ||
        (c >= '{' && c <= '~')) {
        return CharClass::kPunct;
    }
    return c < 0x80 ? CharClass::kOther : CharClass::kUnsure;
}

bool LeftFlanking(CharClass before, CharClass after) {
    return after != CharClass::kSpace &&
           (after != CharClass::kPunct || before == CharClass::kSpace ||
            before == CharClass::kPunct);
}

bool RightFlanking(CharClass before, CharClass after) {
    return before != CharClass::kSpace &&
           (before != CharClass::kPunct || after == CharClass::kSpace ||
            after == CharClass::kPunct);
}

std::size_t Utf8Length(std::string_view s, std::size_t i, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(s[i]);
    std::size_t length = 1;
    char32_t value = lead;
    if (lead >= 0xF0 && lead < 0xF8) {
        length = 4;
        value = lead & 0x07;
    } else if (lead >= 0xE0) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xC0) {
        length = 2;
        value = lead & 0x1F;
    }
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    if (lead < 0xC0 || lead >= 0xF8 || i + length > s.size()) {
        codePoint = 0xFFFD;
        return 1;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(s[i + k]);
        if ((next & 0xC0) != 0x80) {
            codePoint = 0xFFFD;
            return k;
        }
        value = (value << 6) | (next & 0x3F);
    }
    codePoint = value;
    return length;
}

bool IsUnicodeSpace(char32_t c) {
    return c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

std::string EscapedInline(std::string_view text) {
    std::string out;
    InlineWriter writer;
    writer.Begin(&out, InlineWriter::Breaks::kSpace, false, nullptr);
    writer.InBrackets();
    writer.Text(text);
    writer.End();
    return out;
}

std::string LinkDestination(std::string_view target) {
    bool bare = !target.empty();
    for (const char c : target) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || c == '(' || c == ')' || c == '<' || c == '>' || c == '\\' || u == 0x7F) {
            bare = false;
        }
    }
    if (bare) {
        return std::string(target);
    }
    std::string out = "<";
    for (const char c : target) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0x0F];
            continue;
        }
        if (c == '<' || c == '>' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    out += '>';
    return out;
}

std::string NoteLabel(std::string_view mark, int occurrence) {
    constexpr std::size_t kMaxMarkBytes = 24;
    bool plain = !mark.empty() && mark.size() <= kMaxMarkBytes;
    for (const char c : mark) {
        plain = plain && IsAsciiAlnum(static_cast<unsigned char>(c));
    }
    std::string label;
    if (plain) {
        label = mark;
    } else {
        static constexpr char kHex[] = "0123456789abcdef";
        label = "-x";
        for (const char c : mark.substr(0, kMaxMarkBytes)) {
            const auto u = static_cast<unsigned char>(c);
            label += kHex[u >> 4];
            label += kHex[u & 0x0F];
        }
    }
    if (occurrence > 1) {
        label += '-' + std::to_string(occurrence);
    }
    return label;
}

}  // namespace corvanel::convert::markdown
