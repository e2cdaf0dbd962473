#include "convert/msword/PendingText.h"

#include "convert/core/DocumentSink.h"
#include "convert/core/TextEncoding.h"
#include "convert/core/Utf16.h"

namespace corvanel::convert::msword {

void PendingText::AppendByte(char16_t byte, int codePage) {
    if (codePage != bytesCodePage_) {
        DrainBytes();
    }
    bytesCodePage_ = codePage;
    bytes_.push_back(static_cast<char>(byte));
}

void PendingText::AppendOtherUnit(char16_t unit) {
    if (rawCodePage_ != 0) {
        AppendByte(unit, rawCodePage_);
        return;
    }
    if (highSurrogate_ != 0) {
        const char16_t high = highSurrogate_;
        highSurrogate_ = 0;
        if (utf16::IsLowSurrogate(unit)) {
            convert::AppendUtf8(utf8_, utf16::JoinSurrogates(high, unit));
            return;
        }
        convert::AppendUtf8(utf8_, 0xFFFD);
    }
    if (utf16::IsHighSurrogate(unit)) {
        highSurrogate_ = unit;
        return;
    }
    convert::AppendUtf8(utf8_, unit);
}

void PendingText::AppendOtherCodePoint(char32_t c) {
    DrainBytes();
    convert::AppendUtf8(utf8_, c);
}

void PendingText::AppendUtf8(std::string_view text) {
    DrainBytes();
    utf8_ += text;
}

void PendingText::DrainBytes() {
    if (!bytes_.empty()) {
        utf8_ += DecodeCodePage(bytes_, bytesCodePage_);
        bytes_.clear();
    }
}

void PendingText::FlushTo(DocumentSink& sink) {
    if (highSurrogate_ != 0) {
        convert::AppendUtf8(utf8_, 0xFFFD);
        highSurrogate_ = 0;
    }
    DrainBytes();
    if (!utf8_.empty()) {
        sink.Text(utf8_);
        utf8_.clear();
    }
}

std::string PendingText::Take() {
    if (highSurrogate_ != 0) {
        convert::AppendUtf8(utf8_, 0xFFFD);
        highSurrogate_ = 0;
    }
    DrainBytes();
    std::string text = std::move(utf8_);
    utf8_.clear();
    return text;
}

}  // namespace corvanel::convert::msword
