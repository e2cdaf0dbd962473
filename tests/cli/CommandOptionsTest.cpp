#include "cli/CommandOptions.h"

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
        EXPECT_EQ(r.options->inputs, (std::vector<Input>{{Input::Kind::kPath, "a.doc"}}));
    }
}

TEST(Options, DoubleDashEndsOptionsAndInputsAndListsKeepTheirOrder) {
    const ParseResult r =
        ParseOptions({"b", "--files-from", "list", "-0", "--files-from=-", "--", "-j", "a"});
    ASSERT_TRUE(r.options) << r.error;
    using K = Input::Kind;
    EXPECT_EQ(r.options->inputs, (std::vector<Input>{{K::kPath, "b"},
                                                     {K::kList, "list"},
                                                     {K::kList, "-"},
                                                     {K::kPath, "-j"},
                                                     {K::kPath, "a"}}));
    EXPECT_TRUE(r.options->nullSeparated);
    EXPECT_EQ(r.options->jobs, 0u);
}

TEST(Options, IncludeTakesAnySubsetAndRepeats) {
    using M = convert::MarginTexts;
    const struct {
        std::vector<std::string> args;
        M include;
    } kCases[] = {
        {{"a"}, M{}},
        {{"--include", "footers", "a"}, M{false, true, false}},
        {{"--include=comments,headers", "a"}, M{true, false, true}},
        {{"--include", "headers", "--include=footers,comments", "a"}, M{true, true, true}},
    };
    for (const auto& c : kCases) {
        const ParseResult r = ParseOptions(c.args);
        ASSERT_TRUE(r.options) << r.error;
        EXPECT_EQ(r.options->include, c.include) << c.args[0];
    }
}

TEST(Options, BadCommandLinesSayWhy) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"-x", "a"},
          std::vector<std::string>{"-j", "0", "a"}, std::vector<std::string>{"-j", "two", "a"},
          std::vector<std::string>{"-j", "9999", "a"}, std::vector<std::string>{"a", "-o"},
          std::vector<std::string>{"--output=", "a"},
          // Standard input read twice, --keep-tree without a folder, text to standard output
          // for more than one document or together with what names text files or records.
          std::vector<std::string>{"--files-from", "-", "-c", "-"},
          std::vector<std::string>{"--keep-tree", "a"}, std::vector<std::string>{"-c", "a", "b"},
          std::vector<std::string>{"-c", "--files-from", "list"},
          std::vector<std::string>{"-c", "-o", "out", "a"},
          std::vector<std::string>{"-c", "--update", "a"},
          std::vector<std::string>{"-", "--jsonl", "-"},
          std::vector<std::string>{"--include", "headers,notes", "a"},
          std::vector<std::string>{"--include=headers,", "a"}}) {
        const ParseResult r = ParseOptions(args);
        EXPECT_FALSE(r.options);
        EXPECT_FALSE(r.error.empty());
    }
}

}  // namespace
}  // namespace corvanel::cli
