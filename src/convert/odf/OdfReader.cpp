// OpenDocument text: packages (.odt, .ott) and flat single-file documents (.fodt).

#include "convert/core/ConvertError.h"
#include "convert/core/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/core/XmlDocument.h"
#include "convert/core/ZipPackage.h"
#include "convert/odf/OdfBodyReader.h"
#include "convert/odf/OdfStyles.h"

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

// The element holding the text: office:body/office:text, or office:body itself in
// OpenOffice.org 1 documents.
pugi::xml_node TextBody(pugi::xml_node root) {
    const pugi::xml_node body = root.child("office:body");
    if (const pugi::xml_node text = body.child("office:text")) {
        return text;
    }
    if (body && body.child("office:spreadsheet").empty() && body.child("office:drawing").empty() &&
        body.child("office:presentation").empty() && body.child("office:chart").empty() &&
        body.child("office:image").empty()) {
        for (pugi::xml_node child = body.first_child(); child; child = child.next_sibling()) {
            if (std::string_view(child.name()).starts_with("text:")) {
                return body;
            }
        }
    }
    return {};
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
    std::optional<std::string> content;
    pugi::xml_document contentXml;
    try {
        content = package.Read("content.xml");
        if (!content) {
            if (!mimetype) {
                return false;
            }
            ThrowDamaged("the OpenDocument package has no content.xml");
        }
        ParseXmlInPlace(contentXml, *content, "content.xml", kXmlParseOptionsMixedContent);
    } catch (const ConvertError& error) {
        // An encrypted package stores its content scrambled; the manifest says so.
        if (error.Code() == ErrorCode::kDamaged) {
            const std::optional<std::string> manifest = package.Read("META-INF/manifest.xml");
            if (manifest && manifest->find("encryption-data") != std::string::npos) {
                ThrowPasswordProtected();
            }
        }
        throw;
    }
    const pugi::xml_node root = contentXml.document_element();
    const pugi::xml_node body = TextBody(root);
    if (!body) {
        if (!mimetype) {
            return false;
        }
        ThrowDamaged("content.xml holds no text body");
    }

    odf::StyleSheet styles;
    styles.Add(root.child("office:automatic-styles"));
    styles.SetStylesPart([&package] { return package.Read("styles.xml").value_or(std::string()); });
    odf::BodyReader(styles, sink).Read(body);
    return true;
}

void ReadFlatOdt(SourceFile& source, DocumentSink& sink) {
    std::string bytes = source.Bytes();
    pugi::xml_document document;
    ParseXmlInPlace(document, bytes, "the document", kXmlParseOptionsMixedContent);
    const pugi::xml_node root = document.document_element();
    const pugi::xml_node body = TextBody(root);
    if (!body) {
        ThrowNotReadable(
            "it is a flat OpenDocument file without text (a spreadsheet, drawing or "
            "presentation)");
    }
    odf::StyleSheet styles;
    AddStylesOf(styles, root);
    odf::BodyReader(styles, sink).Read(body);
}

}  // namespace corvanel::convert
