#include "convert/core/SystemCharsets.h"
#include "convert/core/TextEncoding.h"

#include <iconv.h>

#include <cerrno>

namespace corvanel::convert {

std::optional<std::string> DecodeWithSystem(std::string_view bytes, const std::string& charset) {
    iconv_t cd = iconv_open("UTF-8", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string out;
    out.resize(bytes.size() * 4 + 16);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        if (r != static_cast<size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            const size_t used = static_cast<size_t>(outPtr - out.data());
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
            continue;
        }
        // An invalid or truncated sequence: write U+FFFD and skip one byte.
        if (outLeft < 3) {
            const size_t used = static_cast<size_t>(outPtr - out.data());
            out.resize(out.size() + 64);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
        }
        *outPtr++ = static_cast<char>(0xEF);
        *outPtr++ = static_cast<char>(0xBF);
        *outPtr++ = static_cast<char>(0xBD);
        outLeft -= 3;
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(static_cast<size_t>(outPtr - out.data()));
    iconv_close(cd);
    return out;
}

std::optional<std::string> DecodeCodePageWithSystem(std::string_view bytes, int codePage) {
    const std::string name = CodePageName(codePage);
    if (name.empty()) {
        return std::nullopt;
    }
    return DecodeWithSystem(bytes, name);
}

}  // namespace corvanel::convert
