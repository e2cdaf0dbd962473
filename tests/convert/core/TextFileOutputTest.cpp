// A text file staged unnamed or named, with the target missing, present or appearing while the
// text is written, and with a write failing half-way.
#include "TestFiles.h"
#include "TestZip.h"
#include "convert/core/TextFileOutput.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvanel::convert {
namespace {

namespace fs = std::filesystem;
using Naming = TextFileOutput::Naming;

using testing::EntryCount;
using testing::ReadAll;

// Whether the folder's file system makes unnamed files (some refuse; then the named way is
// taken and one temporary entry shows while writing).
bool MakesUnnamedFiles(const std::string& folder) {
#ifdef O_TMPFILE
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
#endif
    (void)folder;
    return false;
}

enum class Target { kMissing, kExisting, kAppearsWhileWritten, kFolderAppears };

struct Case {
    const char* name;
    Naming naming;
    Target target;
};

std::string CaseName(const ::testing::TestParamInfo<Case>& param) {
    return param.param.name;
}

// A folder for the target, holding an earlier text under its name where the case says so.
struct Scene {
    explicit Scene(Target kind) {
        if (kind == Target::kExisting) {
            testing::WriteFile(target, "earlier text");
        }
        before = EntryCount(scratch.Path());
    }
    testing::TemporaryFolder scratch;
    const std::string target = scratch.File("out.txt");
    std::size_t before = 0;
};

class StagedText : public ::testing::TestWithParam<Case> {};

TEST_P(StagedText, IsInvisibleUntilCommittedThenWholeWithNothingElseLeft) {
    const Case& c = GetParam();
    Scene scene(c.target);
    const std::string& target = scene.target;
    const std::string plain = testing::WriteFile(scene.scratch.File("plain"), "");
    const std::size_t before = scene.before + 1;  // with the plain file, made as any new one

    TextFileOutput output(target, c.naming);
    output.Write("new ");
    const bool unnamed =
        c.naming == Naming::kUnnamedWherePossible && MakesUnnamedFiles(scene.scratch.Path());
    EXPECT_EQ(EntryCount(scene.scratch.Path()), before + (unnamed ? 0 : 1)) << "while written";
    if (c.target == Target::kExisting) {
        EXPECT_EQ(ReadAll(target), "earlier text");
    } else {
        EXPECT_FALSE(fs::exists(target)) << "no part of the text under the target's name";
    }
    if (c.target == Target::kAppearsWhileWritten) {
        testing::WriteFile(target, "a stranger's text");
    } else if (c.target == Target::kFolderAppears) {
        fs::create_directory(target);
    }
    output.Write("text");
    const ConversionResult result = output.Commit();

    const std::size_t after = before + (c.target == Target::kExisting ? 0 : 1);
    EXPECT_EQ(EntryCount(scene.scratch.Path()), after) << "nothing but the target is left";
    if (c.target == Target::kFolderAppears) {
        EXPECT_EQ(result.code, ErrorCode::kCannotWrite);
        EXPECT_NE(result.description.find("a folder of that name is in the way"), std::string::npos)
            << result.description;
        EXPECT_TRUE(fs::is_directory(target));
        return;
    }
    ASSERT_TRUE(result.Ok()) << result.description;
    EXPECT_EQ(ReadAll(target), "new text");
    struct stat published {
    }, made{};
    ASSERT_EQ(::stat(target.c_str(), &published), 0);
    ASSERT_EQ(::stat(plain.c_str(), &made), 0);
    EXPECT_EQ(published.st_mode, made.st_mode);
}

INSTANTIATE_TEST_SUITE_P(
    TextFileOutput, StagedText,
    ::testing::Values(
        Case{"UnnamedNew", Naming::kUnnamedWherePossible, Target::kMissing},
        Case{"UnnamedReplacing", Naming::kUnnamedWherePossible, Target::kExisting},
        Case{"UnnamedRaced", Naming::kUnnamedWherePossible, Target::kAppearsWhileWritten},
        Case{"UnnamedRacedByFolder", Naming::kUnnamedWherePossible, Target::kFolderAppears},
        Case{"NamedNew", Naming::kNamedOnly, Target::kMissing},
        Case{"NamedReplacing", Naming::kNamedOnly, Target::kExisting},
        Case{"NamedRaced", Naming::kNamedOnly, Target::kAppearsWhileWritten},
        Case{"NamedRacedByFolder", Naming::kNamedOnly, Target::kFolderAppears}),
    CaseName);

// A write that fails half-way (the file size limit here; a full disk alike) leaves the folder
// as it was.
class FailedText : public ::testing::TestWithParam<Case> {};

TEST_P(FailedText, LeavesTheFolderAsItWas) {
    const Case& c = GetParam();
    Scene scene(c.target);
    const std::string& target = scene.target;

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    ConversionResult result;
    {
        TextFileOutput output(target, c.naming);
        output.Write(std::string(3000, 'a'));
        output.Write(std::string(3000, 'b'));
        result = output.Commit();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result.code, ErrorCode::kCannotWrite);
    EXPECT_EQ(EntryCount(scene.scratch.Path()), scene.before);
    if (c.target == Target::kExisting) {
        EXPECT_EQ(ReadAll(target), "earlier text");
    }
}

INSTANTIATE_TEST_SUITE_P(
    TextFileOutput, FailedText,
    ::testing::Values(Case{"UnnamedNew", Naming::kUnnamedWherePossible, Target::kMissing},
                      Case{"UnnamedReplacing", Naming::kUnnamedWherePossible, Target::kExisting},
                      Case{"NamedNew", Naming::kNamedOnly, Target::kMissing},
                      Case{"NamedReplacing", Naming::kNamedOnly, Target::kExisting}),
    CaseName);

}  // namespace
}  // namespace corvanel::convert
