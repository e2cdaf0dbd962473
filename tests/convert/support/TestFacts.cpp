#include "TestFacts.h"

#include "TestZip.h"

#include <gtest/gtest.h>

namespace corvanel::convert::testing {

DocumentFacts FactsOf(const std::string& name, const std::string& bytes) {
    const TemporaryFolder folder;
    const std::string path = WriteFile(folder.File(name), bytes);
    std::string text;
    ConvertOptions options;
    options.collectFacts = true;
    const ConversionResult result = ExtractText(path, text, options);
    EXPECT_TRUE(result.Ok()) << name << ": " << result.description;
    std::string plainText;
    const ConversionResult plain = ExtractText(path, plainText);
    EXPECT_EQ(plainText, text) << name << ": reading the properties changed the text";
    EXPECT_EQ(plain.facts.format, result.facts.format) << name;
    EXPECT_TRUE(plain.facts.properties.empty()) << name;
    return result.facts;
}

}  // namespace corvanel::convert::testing
