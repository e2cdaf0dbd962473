// Plain text: each line a paragraph. The encoding comes from a byte-order mark, else UTF-8 when
// the bytes are valid UTF-8, else Windows-1252.

#include "convert/core/DocumentSink.h"
#include "convert/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/core/TextEncoding.h"

#include <string>
#include <string_view>

namespace corvanel::convert {

namespace {

// Text after a UTF-8 byte-order mark may still hold broken sequences: each becomes U+FFFD.
std::string RepairUtf8(std::string_view text) {
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
        if (c >= 0x80 && (i + length > text.size() || !IsValidUtf8(text.substr(i, length)))) {
            AppendUtf8(repaired, 0xFFFD);
            ++i;
            continue;
        }
        repaired.append(text.substr(i, length));
        i += length;
    }
    return repaired;
}

// The text as UTF-8: a view of the bytes when they are UTF-8 already (no copy of a large file),
// else decoded into `decoded`.
std::string_view DecodeText(std::string_view bytes, std::string& decoded) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
        if (IsValidUtf8(bytes)) {
            return bytes;
        }
        decoded = RepairUtf8(bytes);
    } else if (bytes.starts_with("\xFF\xFE")) {
        decoded = DecodeUtf16Le(bytes.substr(2));
    } else if (bytes.starts_with("\xFE\xFF")) {
        decoded = DecodeUtf16Be(bytes.substr(2));
    } else if (IsValidUtf8(bytes)) {
        return bytes;
    } else {
        decoded = DecodeCodePage(bytes, 1252);
    }
    return decoded;
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
    sink.Format("text");
    std::string decoded;
    const std::string_view all = DecodeText(source.Bytes(), decoded);
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
