#include "export/NativeDocumentConverter.h"
#include "export/Word1.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class NativeDocumentConverterTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QTemporaryDir folder;
    NativeDocumentConverter converter;
};

TEST_F(NativeDocumentConverterTest, IsAlwaysAvailableAndNeverConflicts) {
    const auto instance = converter.CreateInstance();
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance->Name(), QStringLiteral("Corvanel"));
    EXPECT_THROW(converter.AttachToRunningInstance(), RuntimeError);
    EXPECT_FALSE(Word1::IsWordRunning(converter));
}

TEST_F(NativeDocumentConverterTest, ConvertsATextDocumentOverAnExistingTarget) {
    const QString source = folder.filePath(QStringLiteral("notes ä.txt"));
    const QString target = folder.filePath(QStringLiteral("out.txt"));
    WriteAll(source, "first line\nsecond line\n");
    WriteAll(target, "old content that must go");
    Word1::SaveDocumentAsText(converter, source, target);
    EXPECT_EQ(ReadAll(target), QByteArray("first line\nsecond line\n"));
}

TEST_F(NativeDocumentConverterTest, AnUnreadableSourceFailsWithTheConvertersNumberAndNoFile) {
    const QString source = folder.filePath(QStringLiteral("missing.docx"));
    const QString target = folder.filePath(QStringLiteral("missing.txt"));
    try {
        Word1::SaveDocumentAsText(converter, source, target);
        FAIL() << "no failure";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), 8001);  // cannot open
        EXPECT_TRUE(error.Description().contains(source)) << error.what();
    }
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(NativeDocumentConverterTest, AnUnwritableTargetFailsAndLeavesTheOldFile) {
    const QString source = folder.filePath(QStringLiteral("a.txt"));
    WriteAll(source, "text\n");
    const QString target = folder.filePath(QStringLiteral("no-such-folder/a.txt"));
    try {
        Word1::SaveDocumentAsText(converter, source, target);
        FAIL() << "no failure";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number(), 8006);  // cannot write
    }
}

TEST_F(NativeDocumentConverterTest, SavesPlainTextOnly) {
    const QString source = folder.filePath(QStringLiteral("a.txt"));
    WriteAll(source, "text\n");
    auto instance = converter.CreateInstance();
    auto document = instance->Documents().Open(source);
    SaveAsArguments arguments;
    arguments.FileName = folder.filePath(QStringLiteral("a.doc"));
    arguments.FileFormat = 0;
    EXPECT_THROW(document->SaveAs(arguments), RuntimeError);
    EXPECT_FALSE(QFile::exists(arguments.FileName));
}

}  // namespace
