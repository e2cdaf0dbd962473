// Sources that are not ordinary documents at all: huge, empty, folders, pipes, unreadable. Each
// is refused at once (nothing read, nothing blocked on) with a description naming it.

#include "HostileInput.h"
#include "TestZip.h"
#include "convert/Converter.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace corvanel::convert {
namespace {

using testing::ExpectRefused;
using testing::TemporaryFolder;
using testing::WriteFile;

class HostileFile : public ::testing::Test {
protected:
    ConversionResult Convert(const std::string& source) {
        text = "unchanged";
        return ExtractText(source, text);
    }

    TemporaryFolder folder;
    std::string text;
};

TEST_F(HostileFile, ASparseTwoGigabyteFileIsRefusedAsTooLargeWithoutBeingRead) {
    const std::string path = folder.File("huge.docx");
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    // A ZIP signature first: a reader that looked at the content would try to open it.
    ASSERT_EQ(::write(fd, "PK\x03\x04", 4), 4);
    ASSERT_EQ(::ftruncate(fd, off_t{2} << 30), 0);
    ::close(fd);
    const ConversionResult result = Convert(path);
    ExpectRefused(result, ErrorCode::kTooLarge, path);
    EXPECT_EQ(text, "unchanged");
}

TEST_F(HostileFile, AnEmptyFileIsAnEmptyText) {
    const std::string path = WriteFile(folder.File("empty.docx"), "");
    const ConversionResult result = Convert(path);
    ASSERT_TRUE(result.Ok()) << result.description;
    EXPECT_EQ(text, "");
}

TEST_F(HostileFile, AFolderIsRefused) {
    const std::string path = folder.File("folder.docx");
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
    const ConversionResult result = Convert(path);
    ExpectRefused(result, ErrorCode::kCannotOpen, path);
    EXPECT_NE(result.description.find("folder"), std::string::npos) << result.description;
}

TEST_F(HostileFile, ANamedPipeIsRefusedWithoutWaitingForAWriter) {
    const std::string path = folder.File("pipe.txt");
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    ExpectRefused(Convert(path), ErrorCode::kCannotOpen, path);
}

TEST_F(HostileFile, AMissingFileIsRefused) {
    const std::string path = folder.File("gone.docx");
    ExpectRefused(Convert(path), ErrorCode::kCannotOpen, path);
}

TEST_F(HostileFile, AnUnreadableFileIsRefused) {
    if (corvanel::testing::RerunAsUnprivilegedUser()) {
        return;  // permissions do not bind the superuser
    }
    const std::string path = WriteFile(folder.File("secret.txt"), "private words\n");
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    const ConversionResult result = Convert(path);
    ExpectRefused(result, ErrorCode::kCannotOpen, path);
    EXPECT_EQ(text, "unchanged");
}

}  // namespace
}  // namespace corvanel::convert
