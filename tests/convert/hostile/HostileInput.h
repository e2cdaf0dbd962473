#pragma once

#include "convert/Converter.h"

#include "TestZip.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace corvanel::convert::testing {

// Checks that a conversion failed with `code` and that the description names the file, so the
// user knows which document of a batch it was.
// Converts a file written into a fresh folder; the path and the text stay for the checks.
class ConvertedFileTest : public ::testing::Test {
protected:
    ConversionResult Convert(const std::string& name, const std::string& bytes) {
        path = WriteFile(folder.File(name), bytes);
        text.clear();
        ConvertOptions options;
        options.newline = "\n";  // the same on every system
        return ExtractText(path, text, options);
    }

    TemporaryFolder folder;
    std::string path;
    std::string text;
};

inline void ExpectRefused(const ConversionResult& result, ErrorCode code, const std::string& path) {
    EXPECT_EQ(result.code, code) << result.description;
    EXPECT_NE(result.description.find(path), std::string::npos) << result.description;
}

inline std::string Repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

// `open` nested `depth` times around `inner`, closed again by `close`.
inline std::string Nested(const std::string& open, const std::string& close, std::size_t depth,
                          const std::string& inner = "x") {
    return Repeat(open, depth) + inner + Repeat(close, depth);
}

// The document type of the "billion laughs" attack: ten entities, each ten times the one before;
// expanded, &lol9; would be a thousand million "lol"s.
inline std::string BillionLaughsDoctype(const std::string& root) {
    std::string doctype = "<!DOCTYPE " + root + " [<!ENTITY lol0 \"lol\">";
    for (int level = 1; level <= 9; ++level) {
        doctype += "<!ENTITY lol" + std::to_string(level) + " \"" +
                   Repeat("&lol" + std::to_string(level - 1) + ";", 10) + "\">";
    }
    return doctype + "]>";
}

inline constexpr const char* kWordNamespace =
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

// document.xml with `body` inside <w:body>, after an optional document type.
inline std::string WordDocumentElement(const std::string& body) {
    return std::string("<w:document xmlns:w=\"") + kWordNamespace +
           "\" xmlns:x9=\"urn:example:unknown\"><w:body>" + body + "</w:body></w:document>";
}

inline std::string WordDocumentXml(const std::string& body, const std::string& doctype = {}) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + doctype + WordDocumentElement(body);
}

// The same document as one XML file (a flat package), its main part `documentXml` without
// the XML declaration.
inline std::string FlatWordPackage(const std::string& documentXml,
                                   const std::string& doctype = {}) {
    return "<?xml version=\"1.0\"?>" + doctype +
           "<?mso-application progid=\"Word.Document\"?><pkg:package "
           "xmlns:pkg=\"http://schemas.microsoft.com/office/2006/xmlPackage\"><pkg:part "
           "pkg:name=\"/_rels/.rels\"><pkg:xmlData><Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
           "Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
           "relationships/officeDocument\" Target=\"word/document.xml\"/></Relationships>"
           "</pkg:xmlData></pkg:part><pkg:part pkg:name=\"/word/document.xml\"><pkg:xmlData>" +
           documentXml + "</pkg:xmlData></pkg:part></pkg:package>";
}

inline constexpr const char* kOdfNamespaces =
    " xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
    " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
    " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\"";

// content.xml of a text document with `body` inside <office:text>.
inline std::string OdfContentXml(const std::string& body, const std::string& doctype = {}) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + doctype + "<office:document-content" +
           kOdfNamespaces + "><office:body><office:text>" + body +
           "</office:text></office:body></office:document-content>";
}

inline std::string MakeOdt(const std::string& contentXml) {
    return MakeZip(
        {{"mimetype", "application/vnd.oasis.opendocument.text"}, {"content.xml", contentXml}},
        false);
}

// A single-file OpenDocument text with `body` inside <office:text>.
inline std::string FlatOdt(const std::string& body, const std::string& doctype = {}) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + doctype + "<office:document" +
           kOdfNamespaces +
           " office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:body>"
           "<office:text>" +
           body + "</office:text></office:body></office:document>";
}

}  // namespace corvanel::convert::testing
