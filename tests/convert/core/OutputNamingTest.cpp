#include "convert/core/OutputNaming.h"

#include <gtest/gtest.h>

namespace corvanel::convert {
namespace {

TEST(TextFileNameFor, ReplacesOnlyTheLastExtension) {
    EXPECT_EQ(TextFileNameFor("report.final.docx"), "report.final.txt");
    EXPECT_EQ(TextFileNameFor("a.b.c.doc"), "a.b.c.txt");
    EXPECT_EQ(TextFileNameFor("notes."), "notes.txt");
    EXPECT_EQ(TextFileNameFor(".docx"), ".txt");
    EXPECT_EQ(TextFileNameFor("Mixed.CASE.Doc"), "Mixed.CASE.txt");
}

TEST(TextFileNameFor, NameWithoutDotHasNoTextFileName) {
    EXPECT_FALSE(TextFileNameFor("README").has_value());
    EXPECT_FALSE(TextFileNameFor("").has_value());
}

}  // namespace
}  // namespace corvanel::convert
