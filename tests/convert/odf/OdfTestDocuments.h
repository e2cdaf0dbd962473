#pragma once

#include <string>

namespace corvanel::convert::testing {

// content.xml of an OpenDocument text with the given body (inside office:text) and automatic
// styles.
std::string OdfContent(const std::string& body, const std::string& automaticStyles = {});

// An .odt package: mimetype, content.xml and, when given, styles.xml's office:styles and
// office:master-styles content.
std::string MakeOdt(const std::string& body, const std::string& automaticStyles = {},
                    const std::string& commonStyles = {}, const std::string& masterStyles = {});

// A flat .fodt document.
std::string MakeFlatOdt(const std::string& body, const std::string& automaticStyles = {},
                        const std::string& commonStyles = {}, const std::string& masterStyles = {});

}  // namespace corvanel::convert::testing
