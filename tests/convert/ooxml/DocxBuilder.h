#pragma once

#include "convert/Converter.h"

#include <string>
#include <utility>
#include <vector>

namespace corvanel::convert::testing {

// Builds small .docx packages for tests: the body and the optional parts are given as the XML
// inside their root elements, with the usual namespace prefixes (w, m, mc, v, o, wps, wp, a, r)
// declared.
struct DocxBuilder {
    std::string body;       // inside <w:body>
    std::string numbering;  // inside <w:numbering>; empty: no part
    std::string styles;     // inside <w:styles>
    std::string footnotes;  // inside <w:footnotes>
    std::string endnotes;   // inside <w:endnotes>
    std::string settings;   // inside <w:settings>
    std::string comments;   // inside <w:comments>
    // Inside <w:hdr> and <w:ftr>: the first is related as "rh1" or "rf1", and so on.
    std::vector<std::string> headers;
    std::vector<std::string> footers;
    std::string mainPart = "word/document.xml";
    // Imported chunks: (target beside the main part, bytes); the Nth is related as "chunkN".
    std::vector<std::pair<std::string, std::string>> chunks;
    // External hyperlink targets: the Nth is related as "linkN".
    std::vector<std::string> links;

    // The package's parts as (name, content) pairs.
    std::vector<std::pair<std::string, std::string>> Parts() const;
    // The package's bytes.
    std::string Build() const;
};

// A paragraph of one plain run: <w:p><w:r><w:t>text</w:t></w:r></w:p>.
std::string Para(const std::string& text);
// The same with a paragraph-properties element first.
std::string Para(const std::string& pPr, const std::string& runs);
// A run of plain text.
std::string TextRun(const std::string& text);

// The whole XML of a part with the namespaces declared.
std::string WordXml(const std::string& root, const std::string& inner);

struct Converted {
    ConversionResult result;
    std::string text;
};
// Converts document bytes (any format) with "\n" line breaks.
Converted ConvertBytes(std::string bytes, MarginTexts include = {});
// The text of a built package; fails the calling test when the conversion fails.
std::string TextOf(const DocxBuilder& docx);

}  // namespace corvanel::convert::testing
