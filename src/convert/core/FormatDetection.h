#pragma once

#include <string_view>

namespace corvanel::convert {

// What a file's first bytes say it is, whatever its name.
enum class ContainerFormat {
    kZip,           // OOXML or OpenDocument package (decided by its parts)
    kCompoundFile,  // binary Word, or an encrypted OOXML package
    kRtf,
    kFlatOpc,     // single-file WordprocessingML package (<pkg:package>)
    kFlatOdt,     // single-file OpenDocument (<office:document>)
    kWordml2003,  // Word 2003 XML (<w:wordDocument>)
    kHtml,
    kMht,  // MIME single-file web page
    kPlainText,
    kBinary,  // none of the above and not text
};

ContainerFormat DetectFormat(std::string_view head);

// A short name for messages and reports ("DOCX", "RTF", ...).
const char* FormatName(ContainerFormat format);

}  // namespace corvanel::convert
