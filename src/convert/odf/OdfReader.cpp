// OpenDocument text: packages (.odt, .ott) and flat single-file documents (.fodt).

#include "convert/core/ConvertError.h"
#include "convert/core/PropertyValues.h"
#include "convert/Readers.h"
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

bool WantsHeadersOrFooters(const DocumentSink& sink) {
    return sink.WantsMarginText(MarginText::kHeader) || sink.WantsMarginText(MarginText::kFooter);
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

// The format of a package whose mimetype names a text document (OpenOffice.org 1.x: sxw, stw).
std::string_view PackageFormat(std::string_view mimetype) {
    const bool template_ = mimetype.ends_with("-template") || mimetype.ends_with(".template");
    if (mimetype.starts_with("application/vnd.sun.xml.writer")) {
        return template_ ? "stw" : "sxw";
    }
    return template_ ? "ott" : "odt";
}

bool NameIs(pugi::xml_node node, std::string_view localName) {
    return LocalName(node.name()) == localName;
}

// The stated properties of an <office:meta> element. The first author of a document is its
// author; the last one to save it stands in when that is not stated.
void SendMeta(pugi::xml_node meta, DocumentSink& sink) {
    std::string_view initialCreator;
    std::string_view creator;
    for (pugi::xml_node node = meta.first_child(); node; node = node.next_sibling()) {
        const std::string_view text = node.text().get();
        if (NameIs(node, "title")) {
            SendText(sink, DocumentProperty::kTitle, text);
        } else if (NameIs(node, "initial-creator")) {
            initialCreator = text;
        } else if (NameIs(node, "creator")) {
            creator = text;
        } else if (NameIs(node, "creation-date")) {
            SendIsoDate(sink, DocumentProperty::kCreated, text);
        } else if (NameIs(node, "date")) {
            SendIsoDate(sink, DocumentProperty::kModified, text);
        } else if (NameIs(node, "document-statistic")) {
            for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
                if (LocalName(a.name()) == "page-count") {
                    SendCount(sink, DocumentProperty::kPages, a.value());
                } else if (LocalName(a.name()) == "word-count") {
                    SendCount(sink, DocumentProperty::kWords, a.value());
                }
            }
        }
    }
    SendText(sink, DocumentProperty::kAuthor, initialCreator);
    SendText(sink, DocumentProperty::kAuthor, creator);
}

pugi::xml_node MetaOf(pugi::xml_node root) {
    return root.find_child([](pugi::xml_node n) { return NameIs(n, "meta"); });
}

// Sends the format, then the package's meta.xml when properties are wanted; that part is not
// needed for the text, so one that cannot be read is passed over.
void Announce(ZipPackage& package, std::string_view format, DocumentSink& sink) {
    sink.Format(format);
    if (!sink.WantsProperties()) {
        return;
    }
    std::optional<std::string> meta;
    try {
        meta = package.Read("meta.xml");
    } catch (const ConvertError&) {
        return;
    }
    pugi::xml_document document;
    if (meta && document.load_buffer_inplace(meta->data(), meta->size(), kXmlParseOptions)) {
        SendMeta(MetaOf(document.document_element()), sink);
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
    // A text mimetype makes the package one, whatever happened to its content; without one,
    // the content decides below.
    const bool announced = mimetype && !Trimmed(*mimetype).empty();
    if (announced) {
        Announce(package, PackageFormat(Trimmed(*mimetype)), sink);
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
    if (!announced) {
        Announce(package, "odt", sink);
    }

    odf::StyleSheet styles;
    styles.Add(root.child("office:automatic-styles"));
    styles.SetStylesPart([&package] { return package.Read("styles.xml").value_or(std::string()); });
    odf::BodyReader reader(styles, sink);
    if (WantsHeadersOrFooters(sink)) {
        // They only add to the text: page styles that cannot be read are read as missing.
        pugi::xml_node masterStyles;
        try {
            masterStyles = styles.MasterStyles();
        } catch (const ConvertError& error) {
            if (error.Code() != ErrorCode::kDamaged) {
                throw;
            }
        }
        reader.HeadersAndFooters(masterStyles);
    }
    part.ReadBody(reader);
    return true;
}

void ReadFlatOdt(SourceFile& source, DocumentSink& sink) {
    std::string bytes = source.TakeBytes();
    bool announced = false;
    const auto parseWhole = [&](pugi::xml_document& document, std::string& xml) {
        try {
            ParseXmlInPlace(document, xml, "the document", kXmlParseOptionsMixedContent);
        } catch (const ConvertError&) {
            if (!announced) {
                sink.Format("fodt");  // its root element made it one; it is damaged past that
            }
            throw;
        }
    };
    odf::TextPart part(bytes, "the document", parseWhole,
                       [&source] { return std::optional<std::string>(source.Bytes()); });
    if (!part.Body()) {
        ThrowNotReadable(
            "it is a flat OpenDocument file without text (a spreadsheet, drawing or "
            "presentation)");
    }
    announced = true;
    sink.Format("fodt");
    if (sink.WantsProperties()) {
        SendMeta(MetaOf(part.Root()), sink);
    }
    odf::StyleSheet styles;
    AddStylesOf(styles, part.Root());
    odf::BodyReader reader(styles, sink);
    if (WantsHeadersOrFooters(sink)) {
        reader.HeadersAndFooters(part.Root().child("office:master-styles"));
    }
    part.ReadBody(reader);
}

}  // namespace corvanel::convert
