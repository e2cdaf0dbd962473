#pragma once

#include "convert/core/SymbolFont.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace corvanel::convert::rtf {

// The Windows code page of a font's \fcharsetN, or `documentCodePage` for the ANSI and default
// character sets and for values Windows does not define.
int CodePageForCharset(int charset, int documentCodePage);

// True for the code pages whose characters take one or two bytes (Chinese, Japanese, Korean).
bool IsDoubleByteCodePage(int codePage);

// Decodes bytes of one code page into UTF-8. Single-byte code pages are decoded through a
// table built once per code page, so runs of text cost no conversion set-up.
class ByteDecoder {
public:
    void Append(std::string& out, std::string_view bytes, int codePage);

private:
    using Table = std::array<std::string, 256>;
    const Table& TableFor(int codePage);

    std::unordered_map<int, std::unique_ptr<Table>> tables_;
};

// A font of the font table, as far as text decoding needs it.
struct RtfFont {
    int charset = -1;  // \fcharsetN; -1 when not given
    int codePage = 0;  // \cpgN; 0 when not given
    SymbolFontKind symbol = SymbolFontKind::kOther;
};

}  // namespace corvanel::convert::rtf
