#include "convert/core/DocumentFacts.h"

namespace corvanel::convert {

namespace {

bool IsWhiteSpace(char32_t c) {
    switch (c) {
        case U'\t':
        case U'\n':
        case U'\v':
        case U'\f':
        case U'\r':
        case U' ':
        case 0x85:
        case 0xA0:
        case 0x1680:
        case 0x2028:
        case 0x2029:
        case 0x202F:
        case 0x205F:
        case 0x3000:
            return true;
        default:
            return c >= 0x2000 && c <= 0x200A;
    }
}

}  // namespace

void DocumentFacts::AddProperty(DocumentProperty property, std::string_view value) {
    constexpr std::size_t kMaxPropertyBytes = 4096;
    if (value.empty()) {
        return;
    }
    if (value.size() > kMaxPropertyBytes) {
        std::size_t end = kMaxPropertyBytes;
        while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) {
            --end;  // not inside a character
        }
        value = value.substr(0, end);
    }
    properties.try_emplace(property, value);
}

void TextCounter::Character(char32_t c) {
    // A line end is one character whether it is LF or CRLF: a text counts the same on every
    // system, whichever line ends it is written with.
    const bool endsCrLf = c == U'\n' && afterCr_;
    afterCr_ = c == U'\r';
    if (endsCrLf) {
        return;
    }
    ++chars_;
    const bool space = IsWhiteSpace(c);
    if (!space && !inWord_) {
        ++words_;
    }
    inWord_ = !space;
}

void TextCounter::Add(std::string_view utf8) {
    for (const char ch : utf8) {
        const auto byte = static_cast<unsigned char>(ch);
        if (missing_ > 0 && (byte & 0xC0) == 0x80) {
            pending_ = (pending_ << 6) | (byte & 0x3F);
            if (--missing_ == 0) {
                Character(pending_);
            }
            continue;
        }
        if (missing_ > 0) {  // a cut sequence: count what was begun as one character
            missing_ = 0;
            Character(0xFFFD);
        }
        if (byte < 0x80) {
            Character(byte);
        } else if ((byte & 0xE0) == 0xC0) {
            pending_ = byte & 0x1F;
            missing_ = 1;
        } else if ((byte & 0xF0) == 0xE0) {
            pending_ = byte & 0x0F;
            missing_ = 2;
        } else if ((byte & 0xF8) == 0xF0) {
            pending_ = byte & 0x07;
            missing_ = 3;
        } else {
            Character(0xFFFD);
        }
    }
}

const char* PropertyName(DocumentProperty property) {
    switch (property) {
        case DocumentProperty::kTitle:
            return "title";
        case DocumentProperty::kAuthor:
            return "author";
        case DocumentProperty::kCreated:
            return "created";
        case DocumentProperty::kModified:
            return "modified";
        case DocumentProperty::kPages:
            return "pages";
        case DocumentProperty::kWords:
            return "words";
    }
    return "unknown";
}

}  // namespace corvanel::convert
