#include "LargeText.h"
#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace corvanel::cli {
namespace {

namespace fs = std::filesystem;
using convert::testing::TemporaryFolder;
using convert::testing::WriteFile;
using namespace testing;

// A folder of small documents and one text of 200 MB, long and large to convert.
std::string MakeDocuments(const TemporaryFolder& scratch) {
    fs::create_directories(scratch.File("in"));
    for (const char* name : {"a", "c", "d"}) {
        WriteFile(scratch.File(std::string("in/") + name + ".text"), name);
    }
    WriteFile(scratch.File("in/big.text"), LargeText());
    return scratch.File("in");
}

int TemporaryFiles(const std::string& folder) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        count += entry.path().extension() == ".tmp" ? 1 : 0;
    }
    return count;
}

TEST(Isolation, ADocumentPastALimitFailsAloneAndLeavesNoTemporaryFile) {
    TemporaryFolder scratch;
    const std::string in = MakeDocuments(scratch);
    struct Case {
        std::vector<std::string> limit;
        const char* code;
    };
    // Replacing a worker after every document along the way changes nothing. The limit counts
    // from the request, a fresh worker's start included: 1 s leaves room for that start under a
    // heavy load, and the large text takes some 3 s in the sanitizer build.
    for (const Case& c : {Case{{"--timeout", "1", "--max-per-worker", "1"}, "timeout"},
                          Case{{"--max-memory", "150"}, "out-of-memory"}}) {
        const std::string out = scratch.File(std::string("out-") + c.code);
        std::vector<std::string> args = {"-j2", "-o", out, "--jsonl", "-"};
        args.insert(args.end(), c.limit.begin(), c.limit.end());
        args.push_back(in);
        const RunOutcome r = RunShell(scratch, ProgramCommand(args) + " 2>/dev/null");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find("\"source\":\"" + in +
                             "/big.text\",\"output\":null,\"status\":"
                             "\"failed\",\"error\":{\"code\":\"" +
                             c.code + "\""),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4);
        for (const char* name : {"a", "c", "d"}) {
            EXPECT_EQ(ReadAll(out + "/" + name + ".txt"), std::string(name) + "\n");
        }
        EXPECT_EQ(TemporaryFiles(out), 0);
    }
}

TEST(Isolation, AWorkerKilledFromOutsideHasItsDocumentTriedOnceMore) {
    TemporaryFolder scratch;
    const std::string in = MakeDocuments(scratch);
    const std::string out = scratch.File("out");
    fs::create_directories(out);
    // Each time a worker has begun the large text (it holds it open), it is killed; the first
    // death is retried in a fresh worker, the second fails the document.
    const std::string killer =
        "main=$!; for kill in 1 2; do pid=; for i in $(seq 600); do "
        "for p in $(pgrep -P $main); do ls -l /proc/$p/fd 2>/dev/null | grep -qF " +
        Quoted(in + "/big.text") +
        " && pid=$p; done; [ -n \"$pid\" ] && break; sleep 0.05; done; "
        "kill -KILL $pid; while kill -0 $pid 2>/dev/null; do sleep 0.02; done; done";
    const RunOutcome r = RunShell(scratch, ProgramCommand({"-j1", "-o", out, "--jsonl", "-", in}) +
                                               " 2>/dev/null & " + killer + "; wait $!");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"code\":\"crashed\",\"message\":\"" + in +
                         "/big.text could not be converted: its worker process ended twice "
                         "(SIGKILL)\""),
              std::string::npos)
        << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4);
    EXPECT_EQ(ReadAll(out + "/d.txt"), "d\n");
    EXPECT_EQ(TemporaryFiles(out), 0);
    EXPECT_FALSE(fs::exists(out + "/big.txt"));
}

}  // namespace
}  // namespace corvanel::cli
