#include "server/TikaOutput.h"

#include "cli/DocumentRecord.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace corvanel::server {

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

const char* TikaName(convert::DocumentProperty property) {
    switch (property) {
        case convert::DocumentProperty::kTitle:
            return "dc:title";
        case convert::DocumentProperty::kAuthor:
            return "dc:creator";
        case convert::DocumentProperty::kCreated:
            return "dcterms:created";
        case convert::DocumentProperty::kModified:
            return "dcterms:modified";
        case convert::DocumentProperty::kPages:
            return "xmpTPg:NPages";
        case convert::DocumentProperty::kWords:
            return "meta:word-count";
    }
    return "corvanel:unknown";
}

// Everything but the parsers, in the order written.
Pairs MetadataPairs(const convert::DocumentFacts& facts, double milliseconds) {
    Pairs pairs;
    pairs.emplace_back("Content-Type", MimeTypeOf(facts.format));
    for (const auto& [property, value] : facts.properties) {
        pairs.emplace_back(TikaName(property), value);
    }
    pairs.emplace_back("X-TIKA:parse_time_millis",
                       std::to_string(static_cast<long long>(milliseconds + 0.5)));
    if (!facts.format.empty()) {
        pairs.emplace_back("corvanel:format", facts.format);
    }
    pairs.emplace_back("corvanel:chars", std::to_string(facts.chars));
    pairs.emplace_back("corvanel:words", std::to_string(facts.words));
    return pairs;
}

void AppendXmlEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                // Control characters other than tab are not allowed in XML 1.0.
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t') {
                    out += ' ';
                } else {
                    out += c;
                }
        }
    }
}

}  // namespace

std::string MimeTypeOf(std::string_view format) {
    static constexpr std::pair<std::string_view, std::string_view> kTypes[] = {
        {"docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
        {"docm", "application/vnd.ms-word.document.macroenabled.12"},
        {"dotx", "application/vnd.openxmlformats-officedocument.wordprocessingml.template"},
        {"dotm", "application/vnd.ms-word.template.macroenabled.12"},
        {"doc", "application/msword"},
        {"word6", "application/msword"},
        {"word-dos", "application/msword"},
        {"mac-word", "application/msword"},
        {"rtf", "application/rtf"},
        {"odt", "application/vnd.oasis.opendocument.text"},
        {"ott", "application/vnd.oasis.opendocument.text-template"},
        {"fodt", "application/vnd.oasis.opendocument.flat.text"},
        {"sxw", "application/vnd.sun.xml.writer"},
        {"stw", "application/vnd.sun.xml.writer.template"},
        {"flat-opc", "application/xml"},
        {"wordml", "application/vnd.ms-wordml"},
        {"html", "text/html; charset=UTF-8"},
        {"mht", "multipart/related"},
        {"text", "text/plain; charset=UTF-8"},
        {"wordperfect", "application/vnd.wordperfect"},
        {"works", "application/vnd.ms-works"},
        {"mac-works", "application/vnd.ms-works"},
        {"write", "application/x-mswrite"},
    };
    for (const auto& [name, type] : kTypes) {
        if (name == format) {
            return std::string(type);
        }
    }
    return "application/octet-stream";
}

std::string TikaJsonObject(const convert::DocumentFacts& facts, double milliseconds,
                           const std::string* content) {
    std::string out = "{";
    for (const auto& [name, value] : MetadataPairs(facts, milliseconds)) {
        cli::AppendJsonString(out, name);
        out += ':';
        cli::AppendJsonString(out, value);
        out += ',';
    }
    out += "\"X-TIKA:Parsed-By\":[\"corvanel\"]";
    if (content != nullptr) {
        out += ",\"X-TIKA:content\":";
        cli::AppendJsonString(out, *content);
    }
    out += '}';
    return out;
}

std::string XhtmlOf(std::string_view text, const convert::DocumentFacts& facts) {
    std::string out =
        "<html xmlns=\"http://www.w3.org/1999/xhtml\">\n<head>\n<meta name=\"Content-Type\" "
        "content=\"";
    AppendXmlEscaped(out, MimeTypeOf(facts.format));
    out += "\"/>\n<title>";
    if (const auto title = facts.properties.find(convert::DocumentProperty::kTitle);
        title != facts.properties.end()) {
        AppendXmlEscaped(out, title->second);
    }
    out += "</title>\n</head>\n<body>";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        out += "<p>";
        AppendXmlEscaped(out, line);
        out += "</p>\n";
        start = end + 1;
    }
    out += "</body></html>";
    return out;
}

std::string MetadataCsv(const convert::DocumentFacts& facts, double milliseconds) {
    std::string out;
    Pairs pairs = MetadataPairs(facts, milliseconds);
    pairs.emplace_back("X-TIKA:Parsed-By", "corvanel");
    for (const auto& [name, value] : pairs) {
        for (const std::string* field : {&name, &value}) {
            out += '"';
            for (const char c : *field) {
                out += c == '"' ? std::string("\"\"") : std::string(1, c);
            }
            out += '"';
            out += field == &name ? ',' : '\n';
        }
    }
    return out;
}

}  // namespace corvanel::server
