// OpenDocument text: packages (.odt, .ott) and flat single-file documents (.fodt).

#include "convert/core/ConvertError.h"
#include "convert/core/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/core/XmlDocument.h"
#include "convert/core/ZipPackage.h"
#include "convert/odf/OdfBodyReader.h"
#include "convert/odf/OdfStyles.h"
#include "convert/odf/OdfTextPart.h"

#include <optional>
#include <string>
#include <string_view>

namespace corvanel::convert {

namespace {

std::string_view Trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

bool IsTextMimeType(std::string_view type) {
    return type.starts_with("application/vnd.oasis.opendocument.text") ||
           type.starts_with("application/vnd.sun.xml.writer");
}

// An encrypted package stores its content scrambled: a content.xml that fails to read or parse
// is reported as password-protected when the manifest says so.
template <typename Read>
auto ExplainingEncryption(ZipPackage& package, Read&& read) {
    try {
        return read();
    } catch (const ConvertError& error) {
        if (error.Code() == ErrorCode::kDamaged) {
            const std::optional<std::string> manifest = package.Read("META-INF/manifest.xml");
            if (manifest && manifest->find("encryption-data") != std::string::npos) {
                ThrowPasswordProtected();
            }
        }
        throw;
    }
}

void AddStylesOf(odf::StyleSheet& styles, pugi::xml_node root) {
    styles.Add(root.child("office:automatic-styles"));
    styles.Add(root.child("office:styles"));
}

}  // namespace

bool ReadOdfPackage(ZipPackage& package, DocumentSink& sink) {
    const std::optional<std::string> mimetype = package.Read("mimetype");
    if (mimetype && !Trimmed(*mimetype).empty() && !IsTextMimeType(Trimmed(*mimetype))) {
        return false;  // another OpenDocument type, or not OpenDocument at all
    }
    std::optional<std::string> content =
        ExplainingEncryption(package, [&] { return package.Read("content.xml"); });
    if (!content) {
        if (!mimetype) {
            return false;
        }
        ThrowDamaged("the OpenDocument package has no content.xml");
    }
    odf::TextPart part(
        *content, "content.xml",
        [&package](pugi::xml_document& document, std::string& bytes) {
            ExplainingEncryption(package, [&] {
                ParseXmlInPlace(document, bytes, "content.xml", kXmlParseOptionsMixedContent);
            });
        },
        [&package] { return package.Read("content.xml"); });
    const pugi::xml_node root = part.Root();
    if (!part.Body()) {
        if (!mimetype) {
            return false;
        }
        ThrowDamaged("content.xml holds no text body");
    }

    odf::StyleSheet styles;
    styles.Add(root.child("office:automatic-styles"));
    styles.SetStylesPart([&package] { return package.Read("styles.xml").value_or(std::string()); });
    odf::BodyReader reader(styles, sink);
    part.ReadBody(reader);
    return true;
}

void ReadFlatOdt(SourceFile& source, DocumentSink& sink) {
    std::string bytes = source.TakeBytes();
    odf::TextPart part(
        bytes, "the document",
        [](pugi::xml_document& document, std::string& xml) {
            ParseXmlInPlace(document, xml, "the document", kXmlParseOptionsMixedContent);
        },
        [&source] { return std::optional<std::string>(source.Bytes()); });
    if (!part.Body()) {
        ThrowNotReadable(
            "it is a flat OpenDocument file without text (a spreadsheet, drawing or "
            "presentation)");
    }
    odf::StyleSheet styles;
    AddStylesOf(styles, part.Root());
    odf::BodyReader reader(styles, sink);
    part.ReadBody(reader);
}

}  // namespace corvanel::convert
