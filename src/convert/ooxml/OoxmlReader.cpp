#include "convert/core/ConvertError.h"
#include "convert/core/Readers.h"
#include "convert/core/XmlDocument.h"
#include "convert/core/ZipPackage.h"
#include "convert/ooxml/WordPackage.h"
#include "convert/ooxml/WordXml.h"

#include <list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace corvanel::convert {

namespace {

// A WordprocessingML package in a ZIP container: each part is inflated and parsed once, in
// place, when first asked for.
class ZipWordPackage final : public word::WordPackage {
public:
    explicit ZipWordPackage(ZipPackage& zip) : zip_(zip) {}

    bool HasPart(std::string_view partName) override { return zip_.Has(partName); }

    pugi::xml_node PartRoot(std::string_view partName) override {
        for (const Part& part : parts_) {
            if (part.name == partName) {
                return part.document.document_element();
            }
        }
        std::optional<std::string> bytes = zip_.Read(partName);
        if (!bytes) {
            return {};
        }
        Part& part = parts_.emplace_back();
        part.name = std::string(partName);
        part.buffer = std::move(*bytes);
        ParseXmlInPlace(part.document, part.buffer, partName);
        return part.document.document_element();
    }

private:
    struct Part {
        std::string name;
        std::string buffer;
        pugi::xml_document document;
    };

    ZipPackage& zip_;
    std::list<Part> parts_;  // a list: parsed documents never move
};

// True when the package says it holds a word-processing document, whatever happened to it.
bool DeclaresWordDocument(ZipPackage& zip) {
    const std::optional<std::string> types = zip.Read("[Content_Types].xml");
    return types && types->find("wordprocessingml") != std::string::npos;
}

}  // namespace

bool ReadOoxmlPackage(ZipPackage& zip, DocumentSink& sink) {
    ZipWordPackage package(zip);
    const std::string mainPart = word::FindMainPart(package);
    if (mainPart.empty()) {
        if (DeclaresWordDocument(zip)) {
            ThrowDamaged("its main document part is missing");
        }
        return false;
    }
    const pugi::xml_node document = package.PartRoot(mainPart);
    if (!word::Is(document, "document")) {
        // A spreadsheet or presentation package, or something else in a ZIP.
        if (DeclaresWordDocument(zip) && mainPart.rfind("word/", 0) == 0) {
            ThrowDamaged(mainPart + " is not a word-processing document part");
        }
        return false;
    }
    word::ReadWordDocument(package, mainPart, document, sink);
    return true;
}

}  // namespace corvanel::convert
