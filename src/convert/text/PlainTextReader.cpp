// Plain text: each line a paragraph. The encoding comes from a byte-order mark, else UTF-8 when
// the bytes are valid UTF-8, else Windows-1252.

#include "convert/core/DocumentSink.h"
#include "convert/core/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/core/TextEncoding.h"

#include <string>
#include <string_view>

namespace corvanel::convert {

namespace {

std::string DecodeText(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        return std::string(bytes.substr(3));  // invalid sequences are cleaned up below
    }
    if (bytes.starts_with("\xFF\xFE")) {
        return DecodeUtf16Le(bytes.substr(2));
    }
    if (bytes.starts_with("\xFE\xFF")) {
        return DecodeUtf16Be(bytes.substr(2));
    }
    if (IsValidUtf8(bytes)) {
        return std::string(bytes);
    }
    return DecodeCodePage(bytes, 1252);
}

// Text after a UTF-8 byte-order mark may still hold broken sequences: each becomes U+FFFD.
std::string RepairUtf8(std::string text) {
    if (IsValidUtf8(text)) {
        return text;
    }
    std::string repaired;
    repaired.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        size_t length = 1;
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0xF0) {
            length = 4;
        } else if (c >= 0xE0) {
            length = 3;
        } else if (c >= 0xC0) {
            length = 2;
        }
        if (c >= 0x80 &&
            (i + length > text.size() || !IsValidUtf8(std::string_view(text).substr(i, length)))) {
            AppendUtf8(repaired, 0xFFFD);
            ++i;
            continue;
        }
        repaired.append(text, i, length);
        i += length;
    }
    return repaired;
}

// Emits one line: tabs stay, form feeds break the page, other control characters go.
void EmitLine(std::string_view line, DocumentSink& sink) {
    sink.StartParagraph();
    size_t start = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c >= 0x20 && c != 0x7F) {
            continue;
        }
        sink.Text(line.substr(start, i - start));
        if (c == '\t') {
            sink.Tab();
        } else if (c == '\f') {
            sink.Break(BreakKind::kPage);
        }
        start = i + 1;
    }
    sink.Text(line.substr(start));
    sink.EndParagraph();
}

}  // namespace

void ReadPlainText(SourceFile& source, DocumentSink& sink) {
    const std::string text = RepairUtf8(DecodeText(source.Bytes()));
    const std::string_view all(text);
    size_t start = 0;
    while (start < all.size()) {
        const size_t end = all.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            EmitLine(all.substr(start), sink);
            break;
        }
        EmitLine(all.substr(start, end - start), sink);
        start = end + 1;
        if (all[end] == '\r' && start < all.size() && all[start] == '\n') {
            ++start;
        }
    }
}

}  // namespace corvanel::convert
