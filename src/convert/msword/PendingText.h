#pragma once

#include <string>
#include <string_view>

namespace corvanel::convert {
class DocumentSink;
}

namespace corvanel::convert::msword {

// The characters of a story on their way to the sink: UTF-16 units with their surrogate pairs
// joined, bytes of a Word 6 code page decoded a stretch at a time, and text already in UTF-8.
// Kept until a flush, so a paragraph's text reaches the sink in few pieces.
class PendingText {
public:
    // `rawCodePage`: the code page of a Word 6 document's text, whose units are bytes; 0 for
    // Unicode text.
    explicit PendingText(int rawCodePage) : rawCodePage_(rawCodePage) {}

    // Most text is ASCII, which goes straight in (these run once a character).
    void Append(char16_t unit) {
        if (unit < 0x80 && highSurrogate_ == 0 && rawCodePage_ == 0) {
            utf8_.push_back(static_cast<char>(unit));
        } else {
            AppendOtherUnit(unit);
        }
    }
    void AppendCodePoint(char32_t c) {
        if (c < 0x80 && bytes_.empty()) {
            utf8_.push_back(static_cast<char>(c));
        } else {
            AppendOtherCodePoint(c);
        }
    }
    void AppendByte(char16_t byte, int codePage);
    void AppendUtf8(std::string_view text);
    // Sends what waits; an unpaired high surrogate becomes U+FFFD.
    void FlushTo(DocumentSink& sink);
    // What waits, as UTF-8, taken out.
    std::string Take();
    std::size_t Size() const { return utf8_.size() + bytes_.size(); }

private:
    void AppendOtherUnit(char16_t unit);
    void AppendOtherCodePoint(char32_t c);
    void DrainBytes();

    int rawCodePage_;
    std::string utf8_;   // UTF-8 text not yet sent
    std::string bytes_;  // Word 6 bytes not yet decoded, in bytesCodePage_
    int bytesCodePage_ = 0;
    char16_t highSurrogate_ = 0;
};

}  // namespace corvanel::convert::msword
