#include "convert/core/FormatDetection.h"

#include "convert/core/Ascii.h"
#include "convert/core/TextEncoding.h"
#include "convert/core/XmlScanning.h"
#include "convert/core/ZipPackage.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace corvanel::convert {

namespace {

using ascii::StartsWith;
using ascii::StartsWithNoCase;

std::string_view SkipSpace(std::string_view s) {
    while (!s.empty() && ascii::IsSpace(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

// The local name of the first element ("w:wordDocument" -> "wordDocument").
std::string FirstElementName(std::string_view s) {
    if (!StartsWith(s, "<")) {
        return {};
    }
    s.remove_prefix(1);
    size_t end = 0;
    while (end < s.size() && !ascii::IsSpace(s[end]) && s[end] != '>' && s[end] != '/') {
        ++end;
    }
    std::string name(s.substr(0, end));
    const auto colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

bool LooksLikeText(std::string_view s) {
    size_t control = 0;
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0) {
            return false;
        }
        if (c < 32 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A && c != 0x0B) {
            ++control;
        }
    }
    // A few stray control characters happen in real text files; many mean binary data.
    return control * 100 <= s.size();
}

}  // namespace

ContainerFormat DetectFormat(std::string_view head) {
    if (ZipPackage::LooksLikeZip(head)) {
        return ContainerFormat::kZip;
    }
    if (StartsWith(head, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        return ContainerFormat::kCompoundFile;
    }
    // UTF-16 text (with a byte-order mark) is text, unless it is a web page: Word saves pages
    // in its "Unicode" encoding so.
    if (StartsWith(head, "\xFF\xFE") || StartsWith(head, "\xFE\xFF")) {
        const std::string_view units = head.substr(2, 8192);
        const std::string utf8 = head[0] == '\xFF' ? DecodeUtf16Le(units) : DecodeUtf16Be(units);
        return DetectFormat(utf8) == ContainerFormat::kHtml ? ContainerFormat::kHtml
                                                            : ContainerFormat::kPlainText;
    }
    std::string_view text = head;
    if (StartsWith(text, "\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    const std::string_view trimmed = SkipSpace(text);
    if (StartsWith(trimmed, "{\\rtf")) {
        return ContainerFormat::kRtf;
    }
    if (StartsWithNoCase(trimmed, "MIME-Version:") ||
        (StartsWithNoCase(trimmed, "From:") &&
         trimmed.substr(0, 4096).find("multipart/related") != std::string_view::npos)) {
        return ContainerFormat::kMht;
    }
    if (StartsWith(trimmed, "<")) {
        const std::string_view body = xmlscan::SkipProlog(trimmed);
        if (StartsWithNoCase(body, "<!DOCTYPE html")) {
            return ContainerFormat::kHtml;
        }
        const std::string element = FirstElementName(body);
        if (element == "package") {
            return ContainerFormat::kFlatOpc;
        }
        if (element == "document") {
            return ContainerFormat::kFlatOdt;
        }
        if (element == "wordDocument") {
            return ContainerFormat::kWordml2003;
        }
        const std::string lower = ascii::LowerCopy(element);
        if (lower == "html" || lower == "head" || lower == "body" || lower == "meta" ||
            lower == "title" || lower == "div" || lower == "p" || lower == "table") {
            return ContainerFormat::kHtml;
        }
    }
    return LooksLikeText(head) ? ContainerFormat::kPlainText : ContainerFormat::kBinary;
}

const char* FormatName(ContainerFormat format) {
    switch (format) {
        case ContainerFormat::kZip:
            return "ZIP package";
        case ContainerFormat::kCompoundFile:
            return "compound file";
        case ContainerFormat::kRtf:
            return "RTF";
        case ContainerFormat::kFlatOpc:
            return "Flat OPC";
        case ContainerFormat::kFlatOdt:
            return "Flat OpenDocument";
        case ContainerFormat::kWordml2003:
            return "Word 2003 XML";
        case ContainerFormat::kHtml:
            return "HTML";
        case ContainerFormat::kMht:
            return "MHTML";
        case ContainerFormat::kPlainText:
            return "plain text";
        case ContainerFormat::kBinary:
            return "binary data";
    }
    return "unknown";
}

}  // namespace corvanel::convert
