#include "convert/core/ConvertError.h"
#include "convert/Readers.h"
#include "convert/core/XmlDocument.h"
#include "convert/core/ZipPackage.h"
#include "convert/ooxml/BodyBlocks.h"
#include "convert/ooxml/PackageProperties.h"
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
class ZipWordPackage final : public ooxml::WordPackage {
public:
    explicit ZipWordPackage(ZipPackage& zip) : zip_(zip) {}

    bool HasPart(std::string_view partName) override { return zip_.Has(partName); }

    pugi::xml_node PartRoot(std::string_view partName) override {
        for (const Part& part : parts_) {
            if (part.name == partName && part.state == State::kTree) {
                return part.document.document_element();
            }
        }
        std::optional<std::string> bytes = zip_.Read(partName);
        if (!bytes) {
            return {};
        }
        return Adopt(partName, std::move(*bytes));
    }

    void ReleaseTree(std::string_view partName) override {
        for (Part& part : parts_) {
            if (part.name == partName && part.state == State::kTree) {
                part.document.reset();
                part.state = State::kReleased;  // its bytes stay: views of them are in use
            }
        }
    }

    std::string* PartText(std::string_view partName) override {
        std::optional<std::string> bytes = zip_.Read(partName);
        if (!bytes) {
            return nullptr;
        }
        Part& part = parts_.emplace_back();
        part.name = std::string(partName);
        part.buffer = std::move(*bytes);
        part.state = State::kLent;
        return &part.buffer;
    }

    std::optional<std::string> PartBytes(std::string_view partName) override {
        return zip_.Read(partName);
    }

    // Keeps the part's bytes, read by the caller, and parses them.
    pugi::xml_node Adopt(std::string_view partName, std::string bytes) {
        Part& part = parts_.emplace_back();
        part.name = std::string(partName);
        part.buffer = std::move(bytes);
        ParseXmlInPlace(part.document, part.buffer, partName);
        return part.document.document_element();
    }

private:
    // kLent: the bytes belong to a reader that may have parsed pieces of them in place;
    // kReleased: the tree is gone. Either way the bytes stay, and the part asked for as a tree
    // again is read anew.
    enum class State { kTree, kLent, kReleased };
    struct Part {
        std::string name;
        std::string buffer;
        pugi::xml_document document;
        State state = State::kTree;
    };

    ZipPackage& zip_;
    std::list<Part> parts_;  // a list: parsed documents never move
};

// True when the package says it holds a word-processing document, whatever happened to it.
bool DeclaresWordDocument(ZipPackage& zip) {
    const std::optional<std::string> types = zip.Read("[Content_Types].xml");
    return types && types->find("wordprocessingml") != std::string::npos;
}

// The format the package's content types give its main part; empty when they give none or
// cannot be read (the text does not need them, so they never fail the document).
std::string_view MainPartFormat(ZipPackage& zip, std::string_view mainPart) {
    std::optional<std::string> types;
    try {
        types = zip.Read("[Content_Types].xml");
    } catch (const ConvertError&) {
        return {};
    }
    pugi::xml_document document;
    if (!types || !document.load_buffer_inplace(types->data(), types->size(), kXmlParseOptions)) {
        return {};
    }
    return ooxml::FormatOfMainPart(ooxml::ContentTypeOf(document.document_element(), mainPart));
}

// Sends the format, then the stated properties when they are wanted.
void Announce(ooxml::WordPackage& package, std::string_view format, DocumentSink& sink) {
    sink.Format(format);
    if (sink.WantsProperties()) {
        ooxml::ReadPackageProperties(package, sink);
    }
}

}  // namespace

bool ReadOoxmlPackage(ZipPackage& zip, DocumentSink& sink) {
    ZipWordPackage package(zip);
    const std::string mainPart = ooxml::FindMainPart(package);
    if (mainPart.empty()) {
        if (DeclaresWordDocument(zip)) {
            const std::string_view format = MainPartFormat(zip, "word/document.xml");
            sink.Format(format.empty() ? "docx" : format);
            ThrowDamaged("its main document part is missing");
        }
        return false;
    }
    // A package whose content types name the main part a word-processing document is one even
    // when that part turns out damaged; without them, the part's own root decides below.
    const std::string_view format = MainPartFormat(zip, mainPart);
    if (!format.empty()) {
        Announce(package, format, sink);
    }
    // A large main part's body is parsed a batch of blocks at a time when the scanner can
    // follow it (the whole tree takes several times the part's size); its skeleton stands for
    // the rest of the part. A part within one batch, or anything unusual, is parsed whole.
    std::optional<std::string> mainXml = zip.Read(mainPart);
    std::optional<ooxml::BodyBlocks> blocks;
    if (mainXml && mainXml->size() > ooxml::BodyBatchBytes()) {
        blocks = ooxml::ScanBodyBlocks(*mainXml, ooxml::BodyBatchBytes());
    }
    pugi::xml_document skeleton;
    pugi::xml_node document;
    if (blocks && skeleton.load_buffer_inplace(blocks->skeleton.data(), blocks->skeleton.size(),
                                               kXmlParseOptions, pugi::encoding_auto)) {
        document = skeleton.document_element();
    }
    if (!ooxml::Is(document, "document")) {
        // Not the usual layout: the whole part decides, and reports its faults as before.
        blocks.reset();
        document = mainXml ? package.Adopt(mainPart, std::move(*mainXml)) : pugi::xml_node();
    }
    if (!ooxml::Is(document, "document")) {
        // A spreadsheet or presentation package, or something else in a ZIP.
        if (DeclaresWordDocument(zip) && mainPart.rfind("word/", 0) == 0) {
            if (format.empty()) {
                sink.Format("docx");
            }
            ThrowDamaged(mainPart + " is not a word-processing document part");
        }
        return false;
    }
    if (format.empty()) {
        Announce(package, "docx", sink);
    }
    if (!blocks) {
        ooxml::ReadWordDocument(package, mainPart, document, sink);
        return true;
    }
    const auto reportMalformed = [&](std::string_view, std::size_t) {
        // The whole part's parse names its first fault, as for any other part.
        std::optional<std::string> again = zip.Read(mainPart);
        if (again) {
            pugi::xml_document whole;
            ParseXmlInPlace(whole, *again, mainPart);
        }
    };
    ooxml::ReadWordDocument(package, mainPart, document, *mainXml, *blocks, reportMalformed, sink);
    return true;
}

}  // namespace corvanel::convert
