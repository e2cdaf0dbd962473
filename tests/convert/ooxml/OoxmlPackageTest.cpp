// Finding the document in a package, Flat OPC, and damaged or hostile packages.

#include "DocxBuilder.h"
#include "TestZip.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvanel::convert::testing {
namespace {

using Parts = std::vector<std::pair<std::string, std::string>>;

void Replace(Parts& parts, const std::string& name, const std::string& content) {
    for (auto& part : parts) {
        if (part.first == name) {
            part.second = content;
        }
    }
}

void Remove(Parts& parts, const std::string& name) {
    std::erase_if(parts, [&](const auto& part) { return part.first == name; });
}

TEST(OoxmlPackage, TheMainPartIsFoundThroughThePackageRelationships) {
    DocxBuilder docx;
    docx.mainPart = "content/main.xml";
    docx.numbering =
        "<w:abstractNum w:abstractNumId=\"0\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/>"
        "<w:numFmt w:val=\"decimal\"/><w:lvlText w:val=\"%1.\"/></w:lvl></w:abstractNum>"
        "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num>";
    docx.body = Para("<w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"1\"/></w:numPr>",
                     TextRun("elsewhere"));
    EXPECT_EQ(TextOf(docx), "1.\telsewhere\n");
}

TEST(OoxmlPackage, WithoutRelationshipsTheUsualMainPartIsRead) {
    DocxBuilder docx;
    docx.body = Para("no rels");
    Parts parts = docx.Parts();
    Remove(parts, "_rels/.rels");
    Remove(parts, "word/_rels/document.xml.rels");
    const Converted converted = ConvertBytes(MakeZip(parts));
    EXPECT_TRUE(converted.result.Ok()) << converted.result.description;
    EXPECT_EQ(converted.text, "no rels\n");
}

TEST(OoxmlPackage, StrictPackagesUseTheirOwnRelationshipTypes) {
    DocxBuilder docx;
    docx.mainPart = "word/strict.xml";
    docx.body = Para("strict");
    Parts parts = docx.Parts();
    Replace(parts, "_rels/.rels",
            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
            "<Relationship Id=\"rId1\" Type=\"http://purl.oclc.org/ooxml/officeDocument/"
            "relationships/officeDocument\" Target=\"/word/./strict.xml\"/></Relationships>");
    EXPECT_EQ(ConvertBytes(MakeZip(parts)).text, "strict\n");
}

TEST(OoxmlPackage, ADocxReadFromDiskUnderAnyOfItsNames) {
    DocxBuilder docx;
    docx.body = Para("on disk");
    TemporaryFolder folder;
    for (const char* name : {"a.docx", "b.docm", "c.dotx", "d.dotm", "misnamed.doc"}) {
        std::string text;
        const ConversionResult result =
            ExtractText(WriteFile(folder.File(name), docx.Build()), text);
        EXPECT_TRUE(result.Ok()) << name << ": " << result.description;
        EXPECT_EQ(text, "on disk" + std::string(kNativeNewline)) << name;
    }
}

TEST(OoxmlPackage, ADamagedSecondaryPartIsReadAsMissing) {
    DocxBuilder docx;
    docx.numbering = "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num>";
    docx.body = Para("<w:numPr><w:numId w:val=\"1\"/></w:numPr>", TextRun("text survives"));
    Parts parts = docx.Parts();
    Replace(parts, "word/numbering.xml", "<w:numbering><unclosed>");
    const Converted converted = ConvertBytes(MakeZip(parts));
    EXPECT_TRUE(converted.result.Ok()) << converted.result.description;
    EXPECT_EQ(converted.text, "text survives\n");
}

struct MalformedCase {
    const char* name;
    std::string bytes;
    ErrorCode expected;
};

std::vector<MalformedCase> MalformedCases() {
    DocxBuilder docx;
    docx.body = Para("text");
    std::vector<MalformedCase> cases;

    const std::string whole = docx.Build();
    cases.push_back({"truncated zip", whole.substr(0, whole.size() / 2), ErrorCode::kDamaged});

    Parts parts = docx.Parts();
    Replace(parts, "word/document.xml", "this is not XML <<<");
    cases.push_back({"main part not XML", MakeZip(parts), ErrorCode::kDamaged});

    parts = docx.Parts();
    Remove(parts, "word/document.xml");
    cases.push_back({"main part missing", MakeZip(parts), ErrorCode::kDamaged});

    cases.push_back({"spreadsheet package",
                     MakeZip({{"_rels/.rels",
                               "<Relationships><Relationship Type=\"http://schemas."
                               "openxmlformats.org/officeDocument/2006/relationships/"
                               "officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
                              {"xl/workbook.xml", "<workbook/>"}}),
                     ErrorCode::kNotReadable});
    cases.push_back({"unrelated zip", MakeZip({{"readme.txt", "hello"}}), ErrorCode::kNotReadable});

    DocxBuilder deep;
    for (int i = 0; i < 100000; ++i) {
        deep.body += "<w:ins>";
    }
    for (int i = 0; i < 100000; ++i) {
        deep.body += "</w:ins>";
    }
    cases.push_back({"100,000 nested elements", deep.Build(), ErrorCode::kDamaged});

    DocxBuilder deepTables;
    for (int i = 0; i < 2000; ++i) {
        deepTables.body += "<w:tbl><w:tr><w:tc>";
    }
    for (int i = 0; i < 2000; ++i) {
        deepTables.body += "<w:p/></w:tc></w:tr></w:tbl>";
    }
    cases.push_back({"2,000 nested tables", deepTables.Build(), ErrorCode::kDamaged});

    DocxBuilder cycle;
    cycle.styles =
        "<w:style w:type=\"paragraph\" w:styleId=\"A\"><w:basedOn w:val=\"B\"/></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"B\"><w:basedOn w:val=\"A\"/></w:style>"
        "<w:style w:type=\"character\" w:styleId=\"C\"><w:basedOn w:val=\"C\"/></w:style>";
    cycle.body = Para("<w:pStyle w:val=\"A\"/>",
                      "<w:r><w:rPr><w:rStyle w:val=\"C\"/></w:rPr>"
                      "<w:t>cycle</w:t></w:r>");
    cases.push_back({"basedOn cycle", cycle.Build(), ErrorCode::kNone});
    return cases;
}

TEST(OoxmlPackage, MalformedPackagesFailWithTheRightError) {
    for (MalformedCase& c : MalformedCases()) {
        const Converted converted = ConvertBytes(std::move(c.bytes));
        EXPECT_EQ(converted.result.code, c.expected)
            << c.name << ": " << converted.result.description;
        if (!converted.result.Ok()) {
            EXPECT_NE(converted.result.description.find("test.docx"), std::string::npos) << c.name;
        }
    }
}

std::string FlatPart(const std::string& name, const std::string& xml) {
    return "<pkg:part pkg:name=\"" + name + "\" pkg:contentType=\"application/xml\"><pkg:xmlData>" +
           xml + "</pkg:xmlData></pkg:part>";
}

std::string FlatPackage(const std::string& parts) {
    return "<?xml version=\"1.0\" standalone=\"yes\"?>\n"
           "<?mso-application progid=\"Word.Document\"?>\n"
           "<pkg:package xmlns:pkg=\"http://schemas.microsoft.com/office/2006/xmlPackage\">" +
           parts + "</pkg:package>";
}

TEST(OoxmlFlatOpc, PartsAreReadFromTheSingleXmlFile) {
    DocxBuilder docx;
    docx.numbering =
        "<w:abstractNum w:abstractNumId=\"0\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"3\"/>"
        "<w:numFmt w:val=\"upperLetter\"/><w:lvlText w:val=\"%1)\"/></w:lvl></w:abstractNum>"
        "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num>";
    docx.footnotes = "<w:footnote w:id=\"1\"><w:p>" + TextRun("flat note") + "</w:p></w:footnote>";
    docx.body = Para("<w:numPr><w:numId w:val=\"1\"/></w:numPr>",
                     TextRun("item") + "<w:r><w:footnoteReference w:id=\"1\"/></w:r>");
    std::string parts;
    for (auto& [name, xml] : docx.Parts()) {
        if (name == "[Content_Types].xml") {
            continue;
        }
        const size_t declaration = xml.find("?>");
        if (xml.rfind("<?xml", 0) == 0 && declaration != std::string::npos) {
            xml.erase(0, declaration + 2);
        }
        parts += FlatPart("/" + name, xml);
    }
    const Converted converted = ConvertBytes(FlatPackage(parts));
    EXPECT_TRUE(converted.result.Ok()) << converted.result.description;
    EXPECT_EQ(converted.text, "C)\titem1\n\n1 flat note\n");
}

TEST(OoxmlFlatOpc, APackageWithoutADocumentIsNotReadable) {
    const Converted converted =
        ConvertBytes(FlatPackage(FlatPart("/docProps/app.xml", "<Properties/>")));
    EXPECT_EQ(converted.result.code, ErrorCode::kNotReadable);
    const Converted broken = ConvertBytes(FlatPackage("<pkg:part>"));
    EXPECT_EQ(broken.result.code, ErrorCode::kDamaged);
}

}  // namespace
}  // namespace corvanel::convert::testing
