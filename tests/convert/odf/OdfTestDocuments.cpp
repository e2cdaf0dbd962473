#include "OdfTestDocuments.h"

#include "TestZip.h"

namespace corvanel::convert::testing {

namespace {

constexpr const char* kNamespaces =
    R"( xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0")"
    R"( xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0")"
    R"( xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0")"
    R"( xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0")"
    R"( xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0")"
    R"( xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0")"
    R"( xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0")"
    R"( xmlns:dc="http://purl.org/dc/elements/1.1/")"
    R"( xmlns:xlink="http://www.w3.org/1999/xlink" office:version="1.3")";

}  // namespace

std::string OdfContent(const std::string& body, const std::string& automaticStyles) {
    return std::string(R"(<?xml version="1.0" encoding="UTF-8"?>)") + "<office:document-content" +
           kNamespaces + "><office:automatic-styles>" + automaticStyles +
           "</office:automatic-styles><office:body><office:text>" + body +
           "</office:text></office:body></office:document-content>";
}

std::string MakeOdt(const std::string& body, const std::string& automaticStyles,
                    const std::string& commonStyles, const std::string& masterStyles) {
    std::vector<std::pair<std::string, std::string>> parts = {
        {"mimetype", "application/vnd.oasis.opendocument.text"},
        {"content.xml", OdfContent(body, automaticStyles)}};
    if (!commonStyles.empty() || !masterStyles.empty()) {
        parts.emplace_back("styles.xml", std::string("<office:document-styles") + kNamespaces +
                                             "><office:styles>" + commonStyles +
                                             "</office:styles><office:master-styles>" +
                                             masterStyles +
                                             "</office:master-styles></office:document-styles>");
    }
    return MakeZip(parts);
}

std::string MakeFlatOdt(const std::string& body, const std::string& automaticStyles,
                        const std::string& commonStyles, const std::string& masterStyles) {
    return std::string(R"(<?xml version="1.0" encoding="UTF-8"?>)") + "<office:document" +
           kNamespaces +
           R"( office:mimetype="application/vnd.oasis.opendocument.text"><office:styles>)" +
           commonStyles + "</office:styles><office:automatic-styles>" + automaticStyles +
           "</office:automatic-styles><office:master-styles>" + masterStyles +
           "</office:master-styles><office:body><office:text>" + body +
           "</office:text></office:body></office:document>";
}

}  // namespace corvanel::convert::testing
