#include "DocxBuilder.h"

#include "TestZip.h"
#include "convert/plaintext/PlainTextWriter.h"

#include <gtest/gtest.h>

#include <tuple>

namespace corvanel::convert::testing {

namespace {

constexpr const char* kNamespaces =
    R"( xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main")"
    R"( xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships")"
    R"( xmlns:m="http://schemas.openxmlformats.org/officeDocument/2006/math")"
    R"( xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006")"
    R"( xmlns:v="urn:schemas-microsoft-com:vml")"
    R"( xmlns:o="urn:schemas-microsoft-com:office:office")"
    R"( xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing")"
    R"( xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main")"
    R"( xmlns:wps="http://schemas.microsoft.com/office/word/2010/wordprocessingShape")"
    R"( xmlns:w14="http://schemas.microsoft.com/office/word/2010/wordml")"
    R"( xmlns:x9="urn:example:unknown-extension")";

constexpr const char* kRelationshipBase =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string Relationship(const std::string& id, const std::string& type,
                         const std::string& target) {
    return "<Relationship Id=\"" + id + "\" Type=\"" + kRelationshipBase + type + "\" Target=\"" +
           target + "\"/>";
}

std::string Relationships(const std::string& inner) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
           inner + "</Relationships>";
}

}  // namespace

std::string WordXml(const std::string& root, const std::string& inner) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:" + root + kNamespaces +
           ">" + inner + "</w:" + root + ">";
}

std::vector<std::pair<std::string, std::string>> DocxBuilder::Parts() const {
    std::vector<std::pair<std::string, std::string>> parts;
    parts.emplace_back(
        "[Content_Types].xml",
        "<?xml version=\"1.0\"?><Types "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Override "
        "PartName=\"/" +
            mainPart +
            "\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>");
    parts.emplace_back("_rels/.rels",
                       Relationships(Relationship("rId1", "officeDocument", mainPart)));
    const std::string folder = mainPart.substr(0, mainPart.rfind('/') + 1);
    const std::string file = mainPart.substr(mainPart.rfind('/') + 1);
    std::string rels;
    const auto addPart = [&](const std::string& content, const std::string& type,
                             const std::string& root) {
        if (content.empty()) {
            return;
        }
        rels += Relationship("r" + type, type, type + ".xml");
        parts.emplace_back(folder + type + ".xml", WordXml(root, content));
    };
    addPart(numbering, "numbering", "numbering");
    addPart(styles, "styles", "styles");
    addPart(footnotes, "footnotes", "footnotes");
    addPart(endnotes, "endnotes", "endnotes");
    addPart(settings, "settings", "settings");
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        rels += Relationship("chunk" + std::to_string(i + 1), "aFChunk", chunks[i].first);
        if (!chunks[i].second.empty()) {
            parts.emplace_back(folder + chunks[i].first, chunks[i].second);
        }
    }
    for (std::size_t i = 0; i < links.size(); ++i) {
        rels += "<Relationship Id=\"link" + std::to_string(i + 1) + "\" Type=\"" +
                kRelationshipBase + "hyperlink\" Target=\"" + links[i] +
                "\" TargetMode=\"External\"/>";
    }
    addPart(comments, "comments", "comments");
    for (const auto& [texts, type, root] :
         {std::tuple{&headers, "header", "hdr"}, std::tuple{&footers, "footer", "ftr"}}) {
        for (std::size_t i = 0; i < texts->size(); ++i) {
            const std::string name = type + std::to_string(i + 1) + ".xml";
            rels += Relationship(std::string("r") + root[0] + std::to_string(i + 1), type, name);
            parts.emplace_back(folder + name, WordXml(root, (*texts)[i]));
        }
    }
    parts.emplace_back(folder + "_rels/" + file + ".rels", Relationships(rels));
    parts.emplace_back(mainPart, WordXml("document", "<w:body>" + body + "</w:body>"));
    return parts;
}

std::string DocxBuilder::Build() const {
    return MakeZip(Parts());
}

std::string Para(const std::string& text) {
    return "<w:p>" + TextRun(text) + "</w:p>";
}

std::string Para(const std::string& pPr, const std::string& runs) {
    return "<w:p><w:pPr>" + pPr + "</w:pPr>" + runs + "</w:p>";
}

std::string TextRun(const std::string& text) {
    return "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}

Converted ConvertBytes(std::string bytes, MarginTexts include) {
    PlainTextWriter writer("\n");
    writer.WantMarginTexts(include);
    Converted converted;
    converted.result = ReadDocumentBytes("test.docx", std::move(bytes), writer);
    converted.text = writer.TakeText();
    return converted;
}

std::string TextOf(const DocxBuilder& docx) {
    Converted converted = ConvertBytes(docx.Build());
    EXPECT_TRUE(converted.result.Ok()) << converted.result.description;
    return converted.text;
}

}  // namespace corvanel::convert::testing
