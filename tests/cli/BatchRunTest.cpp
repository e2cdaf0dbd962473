#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace corvanel::cli {
namespace {

namespace fs = std::filesystem;
using convert::testing::TemporaryFolder;
using convert::testing::WriteFile;
using namespace testing;

TEST(BatchRun, AListInAPipeIsWorkedOnBeforeItEndsAndEachRecordLeavesAtOnce) {
    TemporaryFolder scratch;
    const std::string first = WriteFile(scratch.File("first.text"), "one");
    const std::string second = WriteFile(scratch.File("second.text"), "two");
    const std::string records = scratch.File("records.jsonl");
    // The writer names the second document only once the first one's record is out (or gives
    // up after 30 s, which the marker file tells).
    const std::string writer = "printf '%s\\n' " + Quoted(first) +
                               "; for i in $(seq 600); do grep -q first " + Quoted(records) +
                               " 2>/dev/null && echo seen >" + Quoted(scratch.File("seen")) +
                               " && break; sleep 0.05; done; printf '%s\\n' " + Quoted(second);
    const RunOutcome r = RunShell(
        scratch,
        "(" + writer + ") | " +
            ProgramCommand({"-o", scratch.File("out"), "--files-from", "-", "--jsonl", records}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2 converted, 0 failed\n");
    EXPECT_TRUE(fs::exists(scratch.File("seen")));
    EXPECT_EQ(ReadAll(scratch.File("out/second.txt")), "two\n");
}

TEST(BatchRun, KeepTreeMirrorsThePathsAsNamedListedOrFound) {
    TemporaryFolder scratch;
    fs::create_directories(scratch.File("work/a/deep"));
    fs::create_directories(scratch.File("work/b"));
    fs::create_directories(scratch.File("outside"));
    WriteFile(scratch.File("work/a/report.text"), "a");
    WriteFile(scratch.File("work/a/deep/note.text"), "deep");
    WriteFile(scratch.File("work/b/report.text"), "b");
    WriteFile(scratch.File("outside/far.text"), "far");
    WriteFile(scratch.File("work/list"), "b/report.text\n../outside/far.text\n");
    const RunOutcome r = RunShell(
        scratch, "cd " + Quoted(scratch.File("work")) + " && " +
                     ProgramCommand({"--keep-tree", "-o", "out", "a", "--files-from", "list"}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "4 converted, 0 failed\n");
    const std::string out = scratch.File("work/out/");
    EXPECT_EQ(ReadAll(out + "a/report.txt"), "a\n");
    EXPECT_EQ(ReadAll(out + "a/deep/note.txt"), "deep\n");
    EXPECT_EQ(ReadAll(out + "b/report.txt"), "b\n");
    // "../outside" would climb out of the folder: its absolute form is kept instead.
    EXPECT_EQ(ReadAll(out + fs::path(scratch.File("outside/far.txt")).relative_path().string()),
              "far\n");
}

TEST(BatchRun, UpdateSkipsTextsThatAreUpToDateSoAnInterruptedRunCanBeFinished) {
    TemporaryFolder scratch;
    std::string list;
    for (int i = 0; i < 4; ++i) {
        list += WriteFile(scratch.File("doc" + std::to_string(i) + ".text"), "v1") + "\n";
    }
    const std::string half = list.substr(0, list.find('\n', list.find('\n') + 1) + 1);
    WriteFile(scratch.File("half"), half);
    WriteFile(scratch.File("all"), list);
    const std::vector<std::string> run = {"-o", scratch.File("out"), "--update", "--files-from"};
    auto withList = [&](const std::string& name) {
        std::vector<std::string> args = run;
        args.push_back(scratch.File(name));
        args.insert(args.end(), {"--jsonl", "-"});
        return args;
    };
    // The first run stops after two documents; the second does the rest.
    EXPECT_EQ(RunProgram(scratch, withList("half")).status, 0);
    // A document changed since its text was made is converted again.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    WriteFile(scratch.File("doc0.text"), "v2");
    const RunOutcome r = RunProgram(scratch, withList("all"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "3 converted, 1 skipped, 0 failed\n");
    EXPECT_NE(r.out.find("\"source\":\"" + scratch.File("doc1.text") +
                         "\",\"output\":null,\"status\":\"skipped\""),
              std::string::npos)
        << r.out;
    EXPECT_EQ(ReadAll(scratch.File("out/doc0.txt")), "v2\n");
    EXPECT_EQ(ReadAll(scratch.File("out/doc3.txt")), "v1\n");
}

TEST(BatchRun, OneDocumentsTextGoesToStandardOutputAlsoFromStandardInput) {
    TemporaryFolder scratch;
    const std::string document = WriteFile(scratch.File("page.html"),
                                           "<html><head><title>T</title></head>"
                                           "<body><p>Hello</p><p>world</p></body></html>");
    const RunOutcome fromFile = RunProgram(scratch, {"-c", document});
    EXPECT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, "Hello\nworld\n");
    const RunOutcome fromPipe = RunShell(scratch, ProgramCommand({"-c", "-"}), document);
    EXPECT_EQ(fromPipe.status, 0) << fromPipe.err;
    EXPECT_EQ(fromPipe.out, "Hello\nworld\n");
    EXPECT_FALSE(fs::exists(scratch.File("page.txt")));  // no text file is made

    const RunOutcome junk =
        RunShell(scratch, "printf '\\001\\002\\000' | " + ProgramCommand({"-c", "-"}));
    EXPECT_EQ(junk.status, 1);
    EXPECT_EQ(junk.out, "");
    EXPECT_EQ(junk.err.rfind("corvanel-convert: standard input is not a document", 0), 0u)
        << junk.err;
}

TEST(BatchRun, IncludeAddsHeadersFootersAndCommentsInWorkersAndOnStandardOutput) {
    TemporaryFolder scratch;
    fs::create_directories(scratch.File("docs"));
    const std::string rtf = WriteFile(scratch.File("docs/a.rtf"),
                                      "{\\rtf1\\ansi{\\header Head\\par}{\\footer Foot\\par}Body"
                                      "{\\*\\atnauthor Ann}\\chatn{\\*\\annotation Note}\\par}");
    WriteFile(scratch.File("docs/b.text"), "plain");
    // A folder: the documents go to worker processes.
    const RunOutcome run = RunProgram(scratch, {"--include", "headers,comments", "-o",
                                                scratch.File("out"), scratch.File("docs")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadAll(scratch.File("out/a.txt")), "Head\n\nBody\n\nAnn: Note\n");
    EXPECT_EQ(ReadAll(scratch.File("out/b.txt")), "plain\n");

    const RunOutcome one = RunProgram(scratch, {"-c", "--include=footers", rtf});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out, "Body\n\nFoot\n");

    const RunOutcome wrong = RunProgram(scratch, {"--include", "headers,margins", rtf});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("\"margins\""), std::string::npos) << wrong.err;
}

}  // namespace
}  // namespace corvanel::cli
