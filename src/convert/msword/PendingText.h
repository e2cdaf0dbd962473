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

    void Append(char16_t unit);
    void AppendByte(char16_t byte, int codePage);
    void AppendCodePoint(char32_t c);
    void AppendUtf8(std::string_view text);
    // Sends what waits; an unpaired high surrogate becomes U+FFFD.
    void FlushTo(DocumentSink& sink);
    // What waits, as UTF-8, taken out.
    std::string Take();
    std::size_t Size() const { return utf8_.size() + bytes_.size(); }

private:
    void DrainBytes();

    int rawCodePage_;
    std::string utf8_;   // UTF-8 text not yet sent
    std::string bytes_;  // Word 6 bytes not yet decoded, in bytesCodePage_
    int bytesCodePage_ = 0;
    char16_t highSurrogate_ = 0;
};

}  // namespace corvanel::convert::msword
