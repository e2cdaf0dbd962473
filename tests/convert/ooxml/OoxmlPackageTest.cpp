// Finding the document in a package, Flat OPC, and damaged or hostile packages.

#include "DocxBuilder.h"
#include "TestFacts.h"
#include "TestZip.h"

#include <gtest/gtest.h>

#include <algorithm>
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

std::string AltChunk(int n) {
    return "<w:altChunk r:id=\"chunk" + std::to_string(n) + "\"/>";
}

TEST(OoxmlPackage, ImportedChunksAreReadInPlace) {
    // Word packages nested in each other, each with its level's paragraph and the next level as
    // a chunk: only so many levels are read.
    std::string nested;
    for (int level = 6; level >= 1; --level) {
        DocxBuilder inner;
        inner.body = Para("level " + std::to_string(level)) + AltChunk(1);
        if (!nested.empty()) {
            inner.chunks = {{"inner.docx", nested}};
        }
        nested = inner.Build();
    }
    DocxBuilder docx;
    docx.body = Para("one") + AltChunk(1) + Para("two") + AltChunk(2) + AltChunk(3) + AltChunk(4) +
                AltChunk(5) + AltChunk(6) + AltChunk(7) + Para("end");
    docx.chunks = {{"a.html",
                    "<html><head><title>T</title></head><body><p>From HTML</p>"
                    "<p>again</body></html>"},
                   {"b.rtf", "{\\rtf1\\ansi From RTF\\par}"},
                   {"c.txt", "From text\n"},
                   {"d.docx", nested},
                   {"document.xml", ""},  // the main part itself
                   {"missing.rtf", ""},
                   {"cut.docx", nested.substr(0, nested.size() / 2)}};
    EXPECT_EQ(TextOf(docx),
              "one\nFrom HTML\nagain\ntwo\nFrom RTF\nFrom text\nlevel 1\nlevel 2\nlevel 3\n"
              "level 4\nend\n");
    // The chunks' own formats and properties are not the document's.
    EXPECT_EQ(FactsOf("chunks.docx", docx.Build()).format, "docx");
    EXPECT_TRUE(FactsOf("chunks.docx", docx.Build()).properties.empty());
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
                     TextRun("item") + "<w:r><w:footnoteReference w:id=\"1\"/></w:r>") +
                AltChunk(1);
    // An imported chunk is kept in base64: <html><body><p>flat chunk</p></body></html>.
    docx.chunks = {{"chunk.htm", "stored below"}};
    std::string parts;
    for (auto& [name, xml] : docx.Parts()) {
        if (name == "[Content_Types].xml") {
            continue;
        }
        if (name == "word/chunk.htm") {
            parts +=
                "<pkg:part pkg:name=\"/word/chunk.htm\" pkg:contentType=\"text/html\">"
                "<pkg:binaryData>PGh0bWw+PGJvZHk+PHA+ZmxhdCBjaHVuazwvcD48\n"
                "L2JvZHk+PC9odG1sPg==</pkg:binaryData></pkg:part>";
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
    EXPECT_EQ(converted.text, "C)\titem1\nflat chunk\n\n1 flat note\n");
}

TEST(OoxmlFlatOpc, APackageWithoutADocumentIsNotReadable) {
    const Converted converted =
        ConvertBytes(FlatPackage(FlatPart("/docProps/app.xml", "<Properties/>")));
    EXPECT_EQ(converted.result.code, ErrorCode::kNotReadable);
    const Converted broken = ConvertBytes(FlatPackage("<pkg:part>"));
    EXPECT_EQ(broken.result.code, ErrorCode::kDamaged);
}

std::string Rels(const std::string& relationships) {
    return "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
           "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/"
           "2006/relationships/officeDocument\" Target=\"word/document.xml\"/>" +
           relationships + "</Relationships>";
}

std::string Rel(const std::string& kind, const std::string& target) {
    return "<Relationship Id=\"r" + kind + "\" Type=\"http://schemas.openxmlformats.org/" +
           (kind == "core-properties" ? "package/2006/relationships/metadata/"
                                      : "officeDocument/2006/relationships/") +
           kind + "\" Target=\"" + target + "\"/>";
}

std::string Core(const std::string& inner) {
    return "<cp:coreProperties xmlns:cp=\"http://schemas.openxmlformats.org/package/2006/metadata/"
           "core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
           "xmlns:dcterms=\"http://purl.org/dc/terms/\">" +
           inner + "</cp:coreProperties>";
}

std::string App(const std::string& inner) {
    return "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/"
           "extended-properties\">" +
           inner + "</Properties>";
}

std::string Types(const std::string& mainType) {
    return "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"xml\" ContentType=\"application/xml\"/><Override "
           "PartName=\"/WORD/document.xml\" ContentType=\"" +
           mainType + "\"/></Types>";
}

// A package around `body` with parts added or, where it has them, replaced.
Parts Package(const std::string& body, const Parts& changes) {
    Parts parts = DocxParts(body);
    for (const auto& [name, content] : changes) {
        if (std::any_of(parts.begin(), parts.end(),
                        [&](const auto& p) { return p.first == name; })) {
            Replace(parts, name, content);
        } else {
            parts.emplace_back(name, content);
        }
    }
    return parts;
}

TEST(OoxmlFacts, FormatAndStatedPropertiesOfPackages) {
    const std::string body = WordXml("document", "<w:body>" + Para("text") + "</w:body>");
    const std::string core = Core(
        "<dc:title> Quarterly report </dc:title><dc:creator>Ann Example</dc:creator>"
        "<dcterms:created>2024-03-05T14:30:00Z</dcterms:created>"
        "<dcterms:modified>2024-03-06T09:00:00.53+01:00</dcterms:modified>");
    const std::string app = App("<Pages>3</Pages><Words>0250</Words>");
    const std::string rels = Rels(Rel("core-properties", "docProps/core.xml") +
                                  Rel("extended-properties", "docProps/app.xml"));
    const Properties stated = {{DocumentProperty::kTitle, "Quarterly report"},
                               {DocumentProperty::kAuthor, "Ann Example"},
                               {DocumentProperty::kCreated, "2024-03-05T14:30:00Z"},
                               {DocumentProperty::kModified, "2024-03-06T09:00:00+01:00"},
                               {DocumentProperty::kPages, "3"},
                               {DocumentProperty::kWords, "250"}};
    struct Case {
        const char* name;
        Parts parts;
        const char* format;
        Properties properties;
    };
    std::string flatXml;
    for (const auto& [name, xml] :
         Package(body,
                 {{"docProps/core.xml", core}, {"docProps/app.xml", app}, {"_rels/.rels", rels}})) {
        if (name != "[Content_Types].xml") {
            flatXml += FlatPart("/" + name,
                                xml.substr(xml.rfind("<?xml", 0) == 0 ? xml.find("?>") + 2 : 0));
        }
    }
    const std::vector<Case> cases = {
        {"stated.docx",
         Package(body,
                 {{"docProps/core.xml", core}, {"docProps/app.xml", app}, {"_rels/.rels", rels}}),
         "docx", stated},
        // The relationships say where the properties are, not the usual names.
        {"moved.dotm",
         Package(body, {{"meta/c.xml", Core("<dc:title>Form</dc:title>")},
                        {"_rels/.rels", Rels(Rel("core-properties", "/meta/c.xml"))},
                        {"[Content_Types].xml",
                         Types("application/vnd.ms-word.template.macroEnabledTemplate.main+xml")}}),
         "dotm",
         {{DocumentProperty::kTitle, "Form"}}},
        {"template.dotx",
         Package(body, {{"[Content_Types].xml",
                         Types("application/vnd.openxmlformats-officedocument.wordprocessingml."
                               "template.main+xml")}}),
         "dotx",
         {}},
        // What is empty or not what it claims to be is left out; a damaged part loses only itself.
        {"odd.docx",
         Package(body, {{"docProps/core.xml",
                         Core("<dc:title>  </dc:title><dc:creator>Bo</dc:creator>"
                              "<dcterms:created>yesterday</dcterms:created>"
                              "<dcterms:modified>2024-02-30T10:00:00Z</dcterms:modified>")},
                        {"docProps/app.xml", "<Properties><Pages>-2</Pages><Words>many"},
                        {"_rels/.rels", rels}}),
         "docx",
         {{DocumentProperty::kAuthor, "Bo"}}},
    };
    for (const Case& c : cases) {
        const DocumentFacts facts = FactsOf(c.name, MakeZip(c.parts));
        EXPECT_EQ(facts.format, c.format) << c.name;
        EXPECT_EQ(facts.properties, c.properties) << c.name;
    }
    const DocumentFacts flatFacts = FactsOf("flat.xml", FlatPackage(flatXml));
    EXPECT_EQ(flatFacts.format, "flat-opc");
    EXPECT_EQ(flatFacts.properties, stated);
}

}  // namespace
}  // namespace corvanel::convert::testing
