#include "export/NativeDocumentConverter.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class NativeDocumentConverterTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QString InFolder(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }
    QTemporaryDir folder;
    NativeDocumentConverter converter;
};

TEST_F(NativeDocumentConverterTest, IsAlwaysAvailable) {
    const ConverterAvailability availability = converter.Availability();
    EXPECT_TRUE(availability.available);
    EXPECT_TRUE(availability.reason.isEmpty());
}

TEST_F(NativeDocumentConverterTest, ConvertsATextDocumentOverAnExistingTarget) {
    const QString source = InFolder("notes ä.txt");
    const QString target = InFolder("out.txt");
    WriteAll(source, "first line\nsecond line\n");
    WriteAll(target, "old content that must go");
    const ConversionOutcome outcome = converter.Convert(source, target);
    EXPECT_TRUE(outcome.Converted()) << outcome.description.toStdString();
    EXPECT_EQ(ReadAll(target), QByteArray("first line\nsecond line\n"));
}

// A failure carries the converter library's number and leaves an earlier target alone.
TEST_F(NativeDocumentConverterTest, FailuresCarryTheConvertersNumberAndKeepTheOldTarget) {
    WriteAll(InFolder("a.txt"), "text\n");
    WriteAll(InFolder("kept.txt"), "earlier text");
    struct Case {
        const char* source;
        const char* target;
        int number;
        QByteArray targetAfter;
    };
    for (const Case& c : {Case{"missing.docx", "kept.txt", 8001, "earlier text"},  // cannot open
                          Case{"a.txt", "no-such-folder/a.txt", 8006, "<missing>"}}) {
        const QString source = InFolder(c.source);
        const ConversionOutcome outcome = converter.Convert(source, InFolder(c.target));
        EXPECT_EQ(outcome.number, c.number) << c.source;
        EXPECT_FALSE(outcome.Converted()) << c.source;
        EXPECT_EQ(ReadAll(InFolder(c.target)), c.targetAfter) << c.source;
        if (c.number == 8001) {
            EXPECT_TRUE(outcome.description.contains(source)) << outcome.description.toStdString();
        }
    }
}

}  // namespace
