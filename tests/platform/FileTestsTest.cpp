#include "platform/FileTests.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#ifndef _WIN32
#include "support/Unprivileged.h"

#include <sys/stat.h>
#include <unistd.h>
#endif

using FileTests::EightBitCodePage;
using FileTests::HasUnsafeCharacters;
using FileTests::IsExistingFile;
using FileTests::IsExistingPath;

namespace {

QString Chars(std::initializer_list<char16_t> units) {
    QString text;
    for (char16_t unit : units) {
        text.append(QChar(unit));
    }
    return text;
}

}  // namespace

TEST(HasUnsafeCharacters, ControlsC1CodesAndQuestionMarkAreUnsafe) {
    for (const EightBitCodePage page :
         {EightBitCodePage::kLocaleUtf8, EightBitCodePage::kWindows1252}) {
        EXPECT_TRUE(HasUnsafeCharacters("what?.doc", page));
        EXPECT_TRUE(HasUnsafeCharacters("a\tb", page));
        EXPECT_TRUE(HasUnsafeCharacters(Chars({u'a', 0x1F}), page));
        EXPECT_TRUE(HasUnsafeCharacters(Chars({u'a', 0x7F}), page));
        EXPECT_TRUE(HasUnsafeCharacters(Chars({u'a', 0x80}), page));
        EXPECT_TRUE(HasUnsafeCharacters(Chars({u'a', 0x9F}), page));
        EXPECT_TRUE(HasUnsafeCharacters(Chars({u'a', 0x00}), page));
    }
}

TEST(HasUnsafeCharacters, PlainAndAccentedNamesAreSafe) {
    for (const EightBitCodePage page :
         {EightBitCodePage::kLocaleUtf8, EightBitCodePage::kWindows1252}) {
        EXPECT_FALSE(HasUnsafeCharacters("", page));
        EXPECT_FALSE(HasUnsafeCharacters("Report 2021 (final).doc", page));
        EXPECT_FALSE(HasUnsafeCharacters(QStringLiteral("Résumé née ÿ.doc"), page));
        EXPECT_FALSE(HasUnsafeCharacters(Chars({0xA0, u'x'}), page));  // code 160: first safe
    }
}

TEST(HasUnsafeCharacters, LocaleUtf8CarriesEveryCodePointAboveTheControls) {
    EXPECT_FALSE(HasUnsafeCharacters(QStringLiteral("日本語 €‘’.doc")));
    EXPECT_FALSE(HasUnsafeCharacters(QString::fromUtf8("\xF0\x9F\x93\x84.doc")));  // U+1F4C4
    // A lone surrogate has no UTF-8 form.
    EXPECT_TRUE(HasUnsafeCharacters(Chars({u'a', 0xD800, u'b'})));
    EXPECT_TRUE(HasUnsafeCharacters(Chars({u'a', 0xDC00})));
}

TEST(HasUnsafeCharacters, Windows1252TreatsLettersOutsideTheCodePageAsQuestionMarks) {
    const auto page = EightBitCodePage::kWindows1252;
    EXPECT_TRUE(HasUnsafeCharacters(QStringLiteral("日本.doc"), page));
    EXPECT_TRUE(HasUnsafeCharacters(QStringLiteral("Ārds.doc"), page));  // U+0100
    EXPECT_TRUE(HasUnsafeCharacters(QString::fromUtf8("\xF0\x9F\x93\x84"), page));
    // In the code page, but at codes 128..159.
    EXPECT_TRUE(HasUnsafeCharacters(QStringLiteral("5€.doc"), page));
    EXPECT_TRUE(HasUnsafeCharacters(QStringLiteral("‘quoted’"), page));
}

class ExistenceTests : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp_.isValid());
        folder_ = temp_.filePath("folder");
        file_ = temp_.filePath("file.doc");
        ASSERT_TRUE(QDir().mkdir(folder_));
        QFile file(file_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("text");
    }

    QTemporaryDir temp_;
    QString folder_;
    QString file_;
};

TEST_F(ExistenceTests, FilesFoldersAndMissingEntries) {
    EXPECT_TRUE(IsExistingFile(file_));
    EXPECT_FALSE(IsExistingFile(folder_));
    EXPECT_FALSE(IsExistingFile(QDir::toNativeSeparators(folder_) + QDir::separator()));
    EXPECT_FALSE(IsExistingFile(temp_.filePath("missing.doc")));
    EXPECT_FALSE(IsExistingFile(""));
    EXPECT_FALSE(IsExistingFile(file_ + QChar(u'\0') + "x"));
    EXPECT_TRUE(IsExistingPath(file_));
    EXPECT_TRUE(IsExistingPath(folder_));
    EXPECT_TRUE(IsExistingPath(QDir::toNativeSeparators(folder_) + QDir::separator()));
    EXPECT_FALSE(IsExistingPath(temp_.filePath("missing")));
    EXPECT_FALSE(IsExistingPath(""));
}

// Links, pipes, devices and permission bits as POSIX has them.
#ifndef _WIN32
class PosixExistenceTests : public ExistenceTests {
protected:
    QString Link(const QString& target, const char* name) {
        const QString link = temp_.filePath(name);
        EXPECT_EQ(
            ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()),
            0);
        return link;
    }

    QString Fifo() {
        const QString fifo = temp_.filePath("pipe");
        EXPECT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        return fifo;
    }
};

TEST_F(PosixExistenceTests, IsExistingFileOnlyForFilesThatOpen) {
    EXPECT_TRUE(IsExistingFile(file_));
    EXPECT_TRUE(IsExistingFile(Link(file_, "to-file")));
    EXPECT_FALSE(IsExistingFile(folder_));
    EXPECT_FALSE(IsExistingFile(folder_ + "/"));
    EXPECT_FALSE(IsExistingFile(file_ + "/"));
    EXPECT_FALSE(IsExistingFile(temp_.filePath("missing.doc")));
    EXPECT_FALSE(IsExistingFile(Link(temp_.filePath("gone"), "dangling")));
    EXPECT_FALSE(IsExistingFile(""));
    EXPECT_FALSE(IsExistingFile(file_ + QChar(u'\0') + "x"));
}

TEST_F(PosixExistenceTests, IsExistingFileNeverOpensDevicesOrPipes) {
    // Opening a FIFO for reading would wait for a writer; it holds no document either.
    EXPECT_FALSE(IsExistingFile(Fifo()));
    EXPECT_FALSE(IsExistingFile("/dev/null"));
}

TEST_F(PosixExistenceTests, IsExistingFileIsFalseForAFileThatCannotBeOpened) {
    if (corvanel::testing::RerunAsUnprivilegedUser()) {
        return;  // root opens every file
    }
    ASSERT_TRUE(QFile::setPermissions(file_, QFileDevice::WriteOwner));
    EXPECT_FALSE(IsExistingFile(file_));
}

TEST_F(PosixExistenceTests, IsExistingPathForAnythingWithAModificationTime) {
    EXPECT_TRUE(IsExistingPath(file_));
    EXPECT_TRUE(IsExistingPath(folder_));
    EXPECT_TRUE(IsExistingPath(folder_ + "/"));
    EXPECT_TRUE(IsExistingPath("/"));
    EXPECT_TRUE(IsExistingPath(Fifo()));
    EXPECT_FALSE(IsExistingPath(temp_.filePath("missing")));
    EXPECT_FALSE(IsExistingPath(Link(temp_.filePath("gone"), "dangling")));
    EXPECT_FALSE(IsExistingPath(file_ + "/"));
    EXPECT_FALSE(IsExistingPath(""));
}

TEST_F(PosixExistenceTests, IsExistingPathNeedsNoReadPermission) {
    ASSERT_TRUE(QFile::setPermissions(file_, QFileDevice::Permissions()));
    EXPECT_TRUE(IsExistingPath(file_));
}
#endif
