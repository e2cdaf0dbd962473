// A document whose text is too long to hold whole is written to its file as it is read.

#include "DocxBuilder.h"
#include "TestFiles.h"
#include "TestZip.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace corvanel::convert::testing {
namespace {

namespace fs = std::filesystem;

// Several megabytes of text in many paragraphs, more than a conversion holds before writing.
DocxBuilder LongDocument() {
    DocxBuilder docx;
    const std::string line(200, 'x');
    for (int i = 0; i < 40000; ++i) {
        docx.body += Para(std::to_string(i) + " " + line);
    }
    return docx;
}

TEST(LongTextOutput, TheFileHoldsTheSameTextAsTheTextReadInMemory) {
    TemporaryFolder folder;
    const DocxBuilder docx = LongDocument();
    const std::string source = WriteFile(folder.File("long.docx"), docx.Build());
    std::string text;
    ASSERT_TRUE(ExtractText(source, text).Ok());
    ASSERT_GT(text.size(), 6u << 20);

    const std::string target = folder.File("long.txt");
    WriteFile(target, "an older text");
    const ConversionResult result = ConvertFile(source, target);
    ASSERT_TRUE(result.Ok()) << result.description;
    EXPECT_EQ(ReadAll(target), text);
    EXPECT_EQ(EntryCount(folder.Path()), 2u);  // no temporary file left
}

TEST(LongTextOutput, ADocumentDamagedPastItsFirstMegabytesLeavesTheOldFileAndNoOther) {
    TemporaryFolder folder;
    DocxBuilder docx = LongDocument();
    docx.body += "<w:p><w:r><w:t>cut off";  // the part ends inside a paragraph
    const std::string source = WriteFile(folder.File("cut.docx"), docx.Build());
    const std::string target = folder.File("cut.txt");
    WriteFile(target, "an older text");
    const ConversionResult result = ConvertFile(source, target);
    EXPECT_EQ(result.code, ErrorCode::kDamaged) << result.description;
    EXPECT_EQ(ReadAll(target), "an older text");
    EXPECT_EQ(EntryCount(folder.Path()), 2u);
}

TEST(LongTextOutput, AFolderInTheTargetsPlaceIsReportedOnceTheDocumentIsRead) {
    TemporaryFolder folder;
    const std::string source = WriteFile(folder.File("long.docx"), LongDocument().Build());
    const std::string target = folder.File("long.txt");
    fs::create_directory(target);
    const ConversionResult result = ConvertFile(source, target);
    EXPECT_EQ(result.code, ErrorCode::kCannotWrite) << result.description;
    EXPECT_NE(result.description.find(target), std::string::npos) << result.description;
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(EntryCount(folder.Path()), 2u);
}

}  // namespace
}  // namespace corvanel::convert::testing
