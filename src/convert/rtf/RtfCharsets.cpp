#include "convert/rtf/RtfCharsets.h"

#include "convert/core/TextEncoding.h"

namespace corvanel::convert::rtf {

int CodePageForCharset(int charset, int documentCodePage) {
    switch (charset) {
        case 77:
            return 10000;  // Mac Roman
        case 128:
            return 932;  // Shift-JIS
        case 129:
            return 949;  // Hangul
        case 130:
            return 1361;  // Johab
        case 134:
            return 936;  // GB2312
        case 136:
            return 950;  // Big5
        case 161:
            return 1253;  // Greek
        case 162:
            return 1254;  // Turkish
        case 163:
            return 1258;  // Vietnamese
        case 177:
            return 1255;  // Hebrew
        case 178:
            return 1256;  // Arabic
        case 186:
            return 1257;  // Baltic
        case 204:
            return 1251;  // Cyrillic
        case 222:
            return 874;  // Thai
        case 238:
            return 1250;  // Eastern European
        case 254:
            return 437;  // PC 437
        case 255:
            return 850;  // OEM
        default:
            return documentCodePage;
    }
}

bool IsDoubleByteCodePage(int codePage) {
    switch (codePage) {
        case 932:
        case 936:
        case 949:
        case 950:
        case 1361:
        case 10001:
        case 54936:
        case 65001:
            return true;
        default:
            return false;
    }
}

const ByteDecoder::Table& ByteDecoder::TableFor(int codePage) {
    auto& slot = tables_[codePage];
    if (!slot) {
        slot = std::make_unique<Table>();
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            (*slot)[b] = DecodeCodePage(std::string_view(&byte, 1), codePage);
        }
    }
    return *slot;
}

void ByteDecoder::Append(std::string& out, std::string_view bytes, int codePage) {
    if (IsDoubleByteCodePage(codePage)) {
        out += DecodeCodePage(bytes, codePage);
        return;
    }
    const bool ascii = codePage == 0 || codePage == 1252 || CodePageName(codePage).empty() ||
                       (codePage >= 1250 && codePage <= 1258) || codePage == 10000;
    const Table* table = nullptr;
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (ascii) {
            // Runs of ASCII are copied as they are.
            std::size_t j = i;
            while (j < bytes.size() && static_cast<unsigned char>(bytes[j]) < 0x80) {
                ++j;
            }
            out.append(bytes.substr(i, j - i));
            if (j == bytes.size()) {
                break;
            }
            i = j;
        }
        if (table == nullptr) {
            table = &TableFor(codePage);
        }
        out += (*table)[static_cast<unsigned char>(bytes[i])];
        ++i;
    }
}

}  // namespace corvanel::convert::rtf
