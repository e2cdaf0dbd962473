#include "convert/core/ConvertError.h"
#include "convert/Readers.h"
#include "convert/core/SourceFile.h"
#include "convert/core/XmlDocument.h"
#include "convert/html/MimeMessage.h"
#include "convert/ooxml/PackageProperties.h"
#include "convert/ooxml/WordPackage.h"
#include "convert/ooxml/WordXml.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvanel::convert {

namespace {

// A package in one XML file (<pkg:package>), as Word saves "Word XML Document": every part is a
// <pkg:part pkg:name="/word/document.xml"> whose <pkg:xmlData> holds the part's XML, or whose
// <pkg:binaryData> holds its bytes in base64 (pictures, imported chunks).
class FlatOpcPackage final : public ooxml::WordPackage {
public:
    explicit FlatOpcPackage(pugi::xml_node package) {
        for (pugi::xml_node part = package.first_child(); part; part = part.next_sibling()) {
            if (!ooxml::Is(part, "part")) {
                continue;
            }
            std::string_view name = ooxml::AttrValue(part, "name");
            while (!name.empty() && name.front() == '/') {
                name.remove_prefix(1);
            }
            const pugi::xml_node data = ooxml::Child(part, "xmlData");
            parts_.push_back({name, data.find_child([](pugi::xml_node n) {
                                  return n.type() == pugi::node_element;
                              }),
                              ooxml::Child(part, "binaryData")});
        }
    }

    bool HasPart(std::string_view partName) override { return Find(partName) != nullptr; }

    pugi::xml_node PartRoot(std::string_view partName) override {
        const Part* part = Find(partName);
        return part ? part->root : pugi::xml_node();
    }

    std::optional<std::string> PartBytes(std::string_view partName) override {
        const Part* part = Find(partName);
        if (part == nullptr || !part->binary) {
            return std::nullopt;
        }
        return html::DecodeBase64(part->binary.child_value());
    }

private:
    struct Part {
        std::string_view name;
        pugi::xml_node root;    // of the XML, for an XML part
        pugi::xml_node binary;  // the base64 text's element, for another part
    };

    const Part* Find(std::string_view partName) const {
        const auto it = std::find_if(parts_.begin(), parts_.end(),
                                     [&](const Part& part) { return part.name == partName; });
        return it != parts_.end() ? &*it : nullptr;
    }

    std::vector<Part> parts_;
};

}  // namespace

void ReadFlatOpc(SourceFile& source, DocumentSink& sink) {
    std::string buffer = source.TakeBytes();
    pugi::xml_document xml;
    try {
        ParseXmlInPlace(xml, buffer, "the package XML");
    } catch (const ConvertError&) {
        sink.Format("flat-opc");  // its root element made it one; it is damaged past that
        throw;
    }
    FlatOpcPackage package(xml.document_element());
    const std::string mainPart = ooxml::FindMainPart(package);
    const pugi::xml_node document =
        mainPart.empty() ? pugi::xml_node() : package.PartRoot(mainPart);
    if (!ooxml::Is(document, "document")) {
        ThrowNotReadable("the XML package holds no word-processing document");
    }
    sink.Format("flat-opc");
    if (sink.WantsProperties()) {
        ooxml::ReadPackageProperties(package, sink);
    }
    ooxml::ReadWordDocument(package, mainPart, document, sink);
}

}  // namespace corvanel::convert
