#include "cli/Options.h"

#include <gtest/gtest.h>

namespace corvanel::cli {
namespace {

TEST(Options, ValuesComeSeparateAttachedOrAfterAnEqualsSign) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"-o", "out", "-j", "3", "a.doc"},
          std::vector<std::string>{"-oout", "-j3", "a.doc"},
          std::vector<std::string>{"--output=out", "--jobs", "3", "a.doc"}}) {
        const ParseResult r = ParseOptions(args);
        ASSERT_TRUE(r.options) << r.error;
        EXPECT_EQ(r.options->outputFolder, "out");
        EXPECT_EQ(r.options->jobs, 3u);
        EXPECT_EQ(r.options->inputs, std::vector<std::string>{"a.doc"});
    }
}

TEST(Options, DoubleDashEndsOptionsAndInputsKeepTheirOrder) {
    const ParseResult r = ParseOptions({"b", "--", "-j", "a"});
    ASSERT_TRUE(r.options) << r.error;
    EXPECT_EQ(r.options->inputs, (std::vector<std::string>{"b", "-j", "a"}));
    EXPECT_EQ(r.options->jobs, 0u);
}

TEST(Options, BadCommandLinesSayWhy) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"-x", "a"},
          std::vector<std::string>{"-j", "0", "a"}, std::vector<std::string>{"-j", "two", "a"},
          std::vector<std::string>{"-j", "9999", "a"}, std::vector<std::string>{"a", "-o"},
          std::vector<std::string>{"--output=", "a"}}) {
        const ParseResult r = ParseOptions(args);
        EXPECT_FALSE(r.options);
        EXPECT_FALSE(r.error.empty());
    }
}

}  // namespace
}  // namespace corvanel::cli
