#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvanel::cli {
namespace {

namespace fs = std::filesystem;
using convert::testing::TemporaryFolder;
using convert::testing::WriteFile;
using namespace testing;

int CountLines(const std::string& s) {
    return static_cast<int>(std::count(s.begin(), s.end(), '\n'));
}

TEST(CommandLine, BadUsageExitsWithTwoAndHelpAndVersionWithZero) {
    TemporaryFolder scratch;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"--bogus", "a.txt"},
          std::vector<std::string>{"-j", "0", "a.txt"}, std::vector<std::string>{"a.txt", "-o"}}) {
        const RunOutcome r = RunProgram(scratch, args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind("corvanel-convert: ", 0), 0u) << r.err;
    }
    WriteFile(scratch.File("file"), "x");
    EXPECT_EQ(RunProgram(scratch, {"-o", scratch.File("file"), "a.txt"}).status, 2);

    const RunOutcome help = RunProgram(scratch, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: corvanel-convert"), std::string::npos);
    const RunOutcome version = RunProgram(scratch, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("corvanel-convert ", 0), 0u);
}

TEST(CommandLine, ConvertsFilesIntoTheOutputFolderOrBesideThemselves) {
    TemporaryFolder scratch;
    const std::string one = WriteFile(scratch.File("one.text"), "first line\r\nsecond\r\n");
    const std::string two = WriteFile(scratch.File("two.final.md"), "caf\xE9");
    const RunOutcome r = RunProgram(scratch, {"-o", scratch.File("out/deeper"), one, two});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2 converted, 0 failed\n");
    EXPECT_EQ(ReadAll(scratch.File("out/deeper/one.txt")), "first line\nsecond\n");
    EXPECT_EQ(ReadAll(scratch.File("out/deeper/two.final.txt")), "caf\xC3\xA9\n");

    EXPECT_EQ(RunProgram(scratch, {one}).status, 0);
    EXPECT_EQ(ReadAll(scratch.File("one.txt")), "first line\nsecond\n");
}

TEST(CommandLine, MarkdownFilesReplaceTheLastExtensionWithMdAndRecordsNameThem) {
    TemporaryFolder scratch;
    fs::create_directories(scratch.File("in"));
    const std::string doc = WriteFile(scratch.File("in/a.b.text"), "# not a heading\nx *y*\n");
    const std::string markdown = "\\# not a heading\n\nx \\*y*\n";
    const std::string records = scratch.File("records.jsonl");
    struct Case {
        std::vector<std::string> args;
        std::string written;  // the file written, or "" for standard output
        std::string expected;
    };
    for (const Case& c :
         std::vector<Case>{{{"-t", "markdown", "-o", scratch.File("out"), "--jsonl", records, doc},
                            scratch.File("out/a.b.md"),
                            markdown},
                           {{"--to", "markdown", doc}, scratch.File("in/a.b.md"), markdown},
                           {{"--to=markdown", "-c", doc}, "", markdown},
                           {{"-t", "text", "-o", scratch.File("text"), doc},
                            scratch.File("text/a.b.txt"),
                            "# not a heading\nx *y*\n"}}) {
        const RunOutcome r = RunProgram(scratch, c.args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(c.written.empty() ? r.out : ReadAll(c.written), c.expected) << c.args[0];
    }
    EXPECT_NE(ReadAll(records).find("\"output\":\"" + scratch.File("out/a.b.md") + "\""),
              std::string::npos)
        << ReadAll(records);

    const RunOutcome bad = RunProgram(scratch, {"-t", "html", doc});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--to takes text or markdown, not \"html\""), std::string::npos)
        << bad.err;
    EXPECT_FALSE(fs::exists(scratch.File("in/a.b.txt")));
}

TEST(CommandLine, FailuresAreReportedOneLineEachAndTheRunGoesOn) {
    TemporaryFolder scratch;
    const std::string good = WriteFile(scratch.File("good.text"), "ok");
    const std::string junk =
        WriteFile(scratch.File("junk.doc"), std::string("\x01\x02\x03\0\x04", 5));
    const std::string noDot = WriteFile(scratch.File("README"), "x");
    const std::string missing = scratch.File("missing.docx");
    const RunOutcome r =
        RunProgram(scratch, {"-o", scratch.File("out"), junk, noDot, missing, good});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "1 converted, 3 failed\n");
    EXPECT_EQ(CountLines(r.err), 3) << r.err;
    for (const std::string& path : {junk, noDot, missing}) {
        EXPECT_NE(r.err.find("corvanel-convert: " + path), std::string::npos) << r.err;
    }
    EXPECT_TRUE(fs::exists(scratch.File("out/good.txt")));
    EXPECT_FALSE(fs::exists(scratch.File("out/junk.txt")));
}

TEST(CommandLine, FolderWalkSkipsHiddenEntriesAndEndsDespiteALinkLoop) {
    TemporaryFolder scratch;
    fs::create_directories(scratch.File("in/sub/.hidden"));
    WriteFile(scratch.File("in/a.text"), "a");
    WriteFile(scratch.File("in/sub/b.text"), "b");
    WriteFile(scratch.File("in/.secret.text"), "s");
    WriteFile(scratch.File("in/sub/.hidden/c.text"), "c");
    fs::create_directory_symlink("..", scratch.File("in/sub/loop"));
    fs::create_directory_symlink(scratch.File("in"), scratch.File("in/sub/again"));
    const RunOutcome r = RunProgram(scratch, {"-o", scratch.File("out"), scratch.File("in")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2 converted, 0 failed\n");
    EXPECT_TRUE(fs::exists(scratch.File("out/a.txt")));
    EXPECT_TRUE(fs::exists(scratch.File("out/b.txt")));
    EXPECT_FALSE(fs::exists(scratch.File("out/.secret.txt")));
    EXPECT_FALSE(fs::exists(scratch.File("out/c.txt")));
}

TEST(CommandLine, AFolderConvertedInPlaceLeavesItsTextFilesAlone) {
    TemporaryFolder scratch;
    fs::create_directories(scratch.File("in"));
    WriteFile(scratch.File("in/a.text"), "a");
    WriteFile(scratch.File("in/notes.txt"), "mine\r\n");
    const RunOutcome r = RunProgram(scratch, {scratch.File("in")});
    EXPECT_EQ(r.out, "1 converted, 0 failed\n") << r.err;
    EXPECT_EQ(ReadAll(scratch.File("in/notes.txt")), "mine\r\n");
    EXPECT_EQ(ReadAll(scratch.File("in/a.txt")), "a\n");
}

TEST(CommandLine, ParallelRunsGiveTheSameFilesAndTheFirstSourceOfATargetKeepsIt) {
    TemporaryFolder scratch;
    std::vector<std::string> inputs;
    fs::create_directories(scratch.File("in"));
    for (int i = 0; i < 24; ++i) {
        inputs.push_back(
            WriteFile(scratch.File("in/doc" + std::to_string(i % 8) + ".v" + std::to_string(i)),
                      "document " + std::to_string(i) + "\n"));
    }
    // doc0 is named by sources 0, 8 and 16: the first keeps it, the others fail and say why.
    for (const char* jobs : {"1", "2", "4"}) {
        const std::string out = scratch.File(std::string("out") + jobs);
        const RunOutcome r = RunProgram(scratch, [&] {
            std::vector<std::string> args = {"-j", jobs, "-o", out};
            args.insert(args.end(), inputs.begin(), inputs.end());
            return args;
        }());
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_EQ(r.out, "8 converted, 16 failed\n");
        EXPECT_EQ(CountLines(r.err), 16);
        EXPECT_NE(r.err.find(inputs[16] + " was not converted: its text file " + out +
                             "/doc0.txt belongs to " + inputs[0]),
                  std::string::npos)
            << r.err;
        for (int d = 0; d < 8; ++d) {
            EXPECT_EQ(ReadAll(out + "/doc" + std::to_string(d) + ".txt"),
                      "document " + std::to_string(d) + "\n")
                << "jobs " << jobs;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 8);
    }
}

}  // namespace
}  // namespace corvanel::cli
