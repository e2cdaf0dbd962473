// corvanel-convert as a Windows program: arguments read as UTF-16, texts with CRLF line ends,
// records and texts as exact bytes, workers started as programs in job objects and held to their
// limits, a worker killed from outside, Ctrl+C from the console.

#include "LargeText.h"
#include "TestZip.h"
#include "system/FileSystem.h"
#include "system/WideText.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace corvanel::cli {
namespace {

namespace fs = std::filesystem;
using convert::testing::TemporaryFolder;

struct Outcome {
    DWORD status = 1000;
    std::string out;
    std::string err;
};

std::string Slurp(const std::string& path) {
    std::string text;
    if (std::FILE* file = system::OpenFile(path, "rb")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
            text.append(buffer, got);
        }
        std::fclose(file);
    }
    return text;
}

void Spit(const std::string& path, const std::string& text) {
    std::FILE* file = system::OpenFile(path, "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

// How many files of a folder end with `extension`.
int FilesEndingWith(const std::string& folder, const std::string& extension) {
    int count = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(system::PathFromUtf8(folder), ec)) {
        count += entry.path().extension() == extension ? 1 : 0;
    }
    return count;
}

int TemporaryFiles(const std::string& folder) {
    return FilesEndingWith(folder, ".tmp");
}

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(system::WideFromUtf8(path).c_str(), access,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation, 0, nullptr);
}

std::wstring ConverterPath() {
    std::wstring program(MAX_PATH, L'\0');
    program.resize(::GetFullPathNameW(system::WideFromUtf8(CORVANEL_CONVERT_PROGRAM).c_str(),
                                      MAX_PATH, program.data(), nullptr));
    return program;
}

// A run of a program with its output and errors in files of `scratch`: the converter with
// `args` passed in UTF-16, or a whole command line started in `folder`; `flags` go to
// CreateProcessW.
class ConverterRun {
public:
    ConverterRun(const TemporaryFolder& scratch, const std::vector<std::string>& args,
                 DWORD flags = 0)
        : ConverterRun(scratch, QuotedCommandLine(args), {}, flags) {}
    ConverterRun(const TemporaryFolder& scratch, std::wstring commandLine,
                 const std::string& folder, DWORD flags = 0)
        : scratch_(scratch) {
        handles_[0] = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
        handles_[1] = InheritableFile(scratch.File("stdout"), GENERIC_WRITE, CREATE_ALWAYS);
        handles_[2] = InheritableFile(scratch.File("stderr"), GENERIC_WRITE, CREATE_ALWAYS);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = handles_[0];
        startup.hStdOutput = handles_[1];
        startup.hStdError = handles_[2];
        const std::wstring in = system::WideFromUtf8(folder);
        if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, flags, nullptr,
                             folder.empty() ? nullptr : in.c_str(), &startup, &started_) != 0) {
            ::CloseHandle(started_.hThread);
        }
    }
    ~ConverterRun() {
        if (started_.hProcess != nullptr) {
            ::TerminateProcess(started_.hProcess, 1);
        }
        Wait();
    }
    ConverterRun(const ConverterRun&) = delete;
    ConverterRun& operator=(const ConverterRun&) = delete;

    DWORD Id() const { return started_.dwProcessId; }

    Outcome Wait() {
        Outcome outcome;
        if (started_.hProcess != nullptr) {
            ::WaitForSingleObject(started_.hProcess, INFINITE);
            ::GetExitCodeProcess(started_.hProcess, &outcome.status);
            ::CloseHandle(std::exchange(started_.hProcess, nullptr));
        }
        for (HANDLE& handle : handles_) {
            if (handle != INVALID_HANDLE_VALUE) {
                ::CloseHandle(std::exchange(handle, INVALID_HANDLE_VALUE));
            }
        }
        outcome.out = Slurp(scratch_.File("stdout"));
        outcome.err = Slurp(scratch_.File("stderr"));
        return outcome;
    }

private:
    static std::wstring QuotedCommandLine(const std::vector<std::string>& args) {
        std::wstring commandLine = L"\"" + ConverterPath() + L"\"";
        for (const std::string& arg : args) {
            commandLine += L" \"" + system::WideFromUtf8(arg) + L"\"";
        }
        return commandLine;
    }

    const TemporaryFolder& scratch_;
    HANDLE handles_[3] = {INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE};
    PROCESS_INFORMATION started_{};
};

Outcome RunConverter(const TemporaryFolder& scratch, const std::vector<std::string>& args) {
    return ConverterRun(scratch, args).Wait();
}

struct Case {
    const char* name;
    std::vector<std::string> args;  // "@" stands for the scratch folder
    DWORD status;
    std::string out;
    std::vector<std::pair<std::string, std::string>> texts;  // file in the scratch folder, text
};

class Command : public ::testing::TestWithParam<Case> {};

TEST_P(Command, ConvertsAsWindowsProgramsDo) {
    const Case& c = GetParam();
    TemporaryFolder scratch;
    fs::create_directories(system::PathFromUtf8(scratch.File("in")));
    Spit(scratch.File("in/\xC3\xA9t\xC3\xA9 \xE2\x98\x83.text"), "first\nsecond");
    Spit(scratch.File("in/\xE6\x97\xA5\xE6\x9C\xAC.text"), "caf\xE9");
    std::vector<std::string> args;
    for (const std::string& arg : c.args) {
        args.push_back(arg[0] == '@' ? scratch.Path() + arg.substr(1) : arg);
    }
    const Outcome outcome = RunConverter(scratch, args);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    EXPECT_EQ(outcome.out, c.out);
    for (const auto& [file, text] : c.texts) {
        EXPECT_EQ(Slurp(scratch.File(file)), text) << file;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Command,
    ::testing::Values(
        Case{"NamedFile",
             {"-o", "@/out", "@/in/\xC3\xA9t\xC3\xA9 \xE2\x98\x83.text"},
             0,
             "1 converted, 0 failed\n",
             {{"out/\xC3\xA9t\xC3\xA9 \xE2\x98\x83.txt", "first\r\nsecond\r\n"}}},
        Case{"FolderInWorkers",
             {"-j", "2", "-o", "@/out", "@/in"},
             0,
             "2 converted, 0 failed\n",
             {{"out/\xC3\xA9t\xC3\xA9 \xE2\x98\x83.txt", "first\r\nsecond\r\n"},
              {"out/\xE6\x97\xA5\xE6\x9C\xAC.txt", "caf\xC3\xA9\r\n"}}},
        Case{"TextToStandardOutput",
             {"-c", "@/in/\xE6\x97\xA5\xE6\x9C\xAC.text"},
             0,
             "caf\xC3\xA9\r\n",
             {}},
        Case{"MissingFile", {"-o", "@/out", "@/in/none.text"}, 1, "0 converted, 1 failed\n", {}}),
    [](const ::testing::TestParamInfo<Case>& run) { return std::string(run.param.name); });

// Wildcards typed in cmd, which passes them on quoted or not: the program expands them with the
// folder part kept; one that matches nothing fails alone; a list's paths stay as written.
struct Typed {
    const char* name;
    std::string args;  // after the program's name, run in the scratch folder; "@" is its path
    DWORD status;
    std::string said;                // in the output or errors
    std::vector<std::string> texts;  // in docs/, all of them
};

class TypedInCmd : public ::testing::TestWithParam<Typed> {};

TEST_P(TypedInCmd, ExpandsWildcardsAsWindowsProgramsDo) {
    const Typed& c = GetParam();
    TemporaryFolder scratch;
    fs::create_directories(system::PathFromUtf8(scratch.File("docs")));
    for (const char* name : {"a1", "a2", "b"}) {
        Spit(scratch.File(std::string("docs/") + name + ".text"), name);
    }
    Spit(scratch.File("list"), "docs\\a*.text\r\n");
    std::string args = c.args;
    if (const std::size_t at = args.find('@'); at != std::string::npos) {
        args.replace(at, 1, scratch.Path());
    }
    const std::wstring line =
        L"cmd.exe /s /c \"\"" + ConverterPath() + L"\" " + system::WideFromUtf8(args) + L"\"";
    const Outcome r = ConverterRun(scratch, line, scratch.Path()).Wait();
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_NE((r.out + r.err).find(c.said), std::string::npos) << r.out << r.err;
    for (const std::string& text : c.texts) {
        EXPECT_EQ(system::StateOf(scratch.File("docs/" + text)).kind, system::FileKind::kFile)
            << text;
    }
    EXPECT_EQ(FilesEndingWith(scratch.File("docs"), ".txt"), static_cast<int>(c.texts.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Wildcards, TypedInCmd,
    ::testing::Values(
        Typed{"Unquoted", "docs\\a*.text", 0, "2 converted, 0 failed", {"a1.txt", "a2.txt"}},
        Typed{"Quoted", "\"docs\\a?.text\"", 0, "2 converted, 0 failed", {"a1.txt", "a2.txt"}},
        Typed{"WholePath", "\"@\\docs\\b.*\"", 0, "1 converted, 0 failed", {"b.txt"}},
        Typed{"NoMatchFailsAlone",
              "docs\\*.docx docs\\b.text",
              1,
              "no file matches docs\\*.docx",
              {"b.txt"}},
        Typed{"NoMatchForStandardOutput", "-c x*.doc", 2, "no file matches x*.doc", {}},
        Typed{"ListStaysLiteral", "--files-from list", 1, "docs\\a*.text cannot be opened", {}}),
    [](const ::testing::TestParamInfo<Typed>& run) { return std::string(run.param.name); });

// Another program holding a text file open (reading, sharing only reading) keeps it from being
// replaced: the command waits for it a few seconds; held longer, that document alone fails and
// the earlier text stays whole. The holder lets go 1 s into the wait, or never.
TEST(HeldTextFile, IsWaitedForAFewSecondsThenFailsAlone) {
    struct Hold {
        const char* milliseconds;  // after the wait began; empty: until ended
        DWORD status;
        std::string text;
    };
    for (const Hold& hold : {Hold{"1000", 0, "new\r\n"}, Hold{"", 1, "old"}}) {
        TemporaryFolder scratch;
        Spit(scratch.File("a.text"), "new");
        Spit(scratch.File("b.text"), "b");
        Spit(scratch.File("a.txt"), "old");
        std::wstring line = L"\"" + system::WideFromUtf8(CORVANEL_HOLD_FILE_PROGRAM) + L"\" \"" +
                            system::WideFromUtf8(scratch.File("a.txt")) + L"\" \"" +
                            system::WideFromUtf8(scratch.File("held")) + L"\" " +
                            system::WideFromUtf8(hold.milliseconds);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION holder{};
        ASSERT_NE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &holder),
                  0);
        while (system::StateOf(scratch.File("held")).kind == system::FileKind::kMissing) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const Outcome r =
            RunConverter(scratch, {"--jsonl", "-", scratch.File("a.text"), scratch.File("b.text")});
        ::TerminateProcess(holder.hProcess, 0);
        ::WaitForSingleObject(holder.hProcess, INFINITE);
        ::CloseHandle(holder.hProcess);
        ::CloseHandle(holder.hThread);
        EXPECT_EQ(r.status, hold.status) << r.out << r.err;
        EXPECT_EQ(Slurp(scratch.File("a.txt")), hold.text);
        EXPECT_EQ(Slurp(scratch.File("b.txt")), "b\r\n");
        EXPECT_EQ(TemporaryFiles(scratch.Path()), 0);
        if (hold.status != 0) {
            EXPECT_NE(r.out.find("\"code\":\"cannot-write\",\"message\":\""), std::string::npos)
                << r.out;
            EXPECT_NE(r.out.find("a.txt cannot be written: another program holds the file"),
                      std::string::npos)
                << r.out;
        }
    }
}

// A folder of small documents and a text of 200 MB, long and large to convert, made once.
class LongRuns : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        documents_ = new TemporaryFolder;
        fs::create_directories(system::PathFromUtf8(documents_->File("in")));
        for (const char* name : {"a", "c", "d"}) {
            Spit(documents_->File(std::string("in/") + name + ".text"), name);
        }
        Spit(documents_->File("in/big.text"), LargeText());
    }
    static void TearDownTestSuite() { delete std::exchange(documents_, nullptr); }

    static std::string In() { return documents_->File("in"); }

    // Waits up to 30 s for a worker not yet seen to begin the large text, told by its temporary
    // file's name (big.txt.corvanel-<process>-...tmp); 0 when none did.
    static DWORD NextBigTextWriter(const std::string& out, std::set<DWORD>& seen) {
        constexpr std::string_view kPrefix = "big.txt.corvanel-";
        for (int i = 0; i < 1500; ++i) {
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(system::PathFromUtf8(out), ec)) {
                const std::string name = system::Utf8FromPath(entry.path().filename());
                if (name.starts_with(kPrefix) && name.ends_with(".tmp")) {
                    const DWORD id = std::stoul(name.substr(kPrefix.size()));
                    if (seen.insert(id).second) {
                        return id;
                    }
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return 0;
    }

    static std::size_t Lines(const std::string& text) {
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }

private:
    static inline TemporaryFolder* documents_ = nullptr;
};

TEST_F(LongRuns, ADocumentPastALimitFailsAloneAndLeavesNoTemporaryFile) {
    struct Limit {
        std::vector<std::string> args;
        const char* code;
    };
    // Replacing a worker after every document along the way changes nothing. The time limit
    // counts from the request, a fresh worker's start included (some 0.4 s under Wine); the
    // large text takes about 2 s under Wine, so a 1 s limit stops it with room to spare.
    for (const Limit& limit : {Limit{{"--timeout", "1", "--max-per-worker", "1"}, "timeout"},
                               Limit{{"--max-memory", "150"}, "out-of-memory"}}) {
        TemporaryFolder scratch;
        const std::string out = scratch.File("out");
        std::vector<std::string> args = {"-j2", "-o", out, "--jsonl", "-"};
        args.insert(args.end(), limit.args.begin(), limit.args.end());
        args.push_back(In());
        const Outcome r = RunConverter(scratch, args);
        EXPECT_EQ(r.status, 1u) << limit.code;
        EXPECT_NE(r.out.find("\"output\":null,\"status\":\"failed\",\"error\":{\"code\":\"" +
                             std::string(limit.code) + "\""),
                  std::string::npos)
            << r.out;
        EXPECT_EQ(Lines(r.out), 4u) << r.out;
        for (const char* name : {"a", "c", "d"}) {
            EXPECT_EQ(Slurp(out + "/" + name + ".txt"), std::string(name) + "\r\n") << limit.code;
        }
        EXPECT_EQ(TemporaryFiles(out), 0) << limit.code;
    }
}

// Each time a worker has begun the large text, it is ended with TerminateProcess; the first
// death is retried in a fresh worker, the second fails the document, and no other is lost.
TEST_F(LongRuns, AWorkerKilledFromOutsideHasItsDocumentTriedOnceMore) {
    TemporaryFolder scratch;
    const std::string out = scratch.File("out");
    fs::create_directories(system::PathFromUtf8(out));
    ConverterRun run(scratch, {"-j1", "-o", out, "--jsonl", "-", In()});
    std::set<DWORD> seen;
    for (int kill = 0; kill < 2; ++kill) {
        const DWORD id = NextBigTextWriter(out, seen);
        ASSERT_NE(id, 0u) << "no worker began the large text";
        const HANDLE worker = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        ASSERT_NE(worker, nullptr);
        ::TerminateProcess(worker, 9);
        ::WaitForSingleObject(worker, INFINITE);
        ::CloseHandle(worker);
    }
    const Outcome r = run.Wait();
    EXPECT_EQ(r.status, 1u);
    EXPECT_NE(r.out.find("\"code\":\"crashed\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("big.text could not be converted: its worker process ended twice "
                         "(exit status 9)\""),
              std::string::npos)
        << r.out;
    EXPECT_EQ(Lines(r.out), 4u) << r.out;
    EXPECT_EQ(Slurp(out + "/d.txt"), "d\r\n");
    EXPECT_EQ(TemporaryFiles(out), 0);
    EXPECT_EQ(system::StateOf(out + "/big.txt").kind, system::FileKind::kMissing);
}

// Ctrl+C in the program's console, once: the document under way is finished and no other is
// begun; twice: the program ends at once. Either way it ends with 130, as after SIGINT. Each
// count runs in a test process of its own, which the console events leave changed.
class CtrlC : public LongRuns, public ::testing::WithParamInterface<int> {};

TEST_P(CtrlC, FinishesWhatIsUnderWayAndTwiceEndsAtOnce) {
    const int presses = GetParam();
    TemporaryFolder scratch;
    const std::string out = scratch.File("out");
    fs::create_directories(system::PathFromUtf8(out));
    ConverterRun run(scratch, {"-j1", "-o", out, In()}, CREATE_NEW_CONSOLE);
    std::set<DWORD> seen;
    ASSERT_NE(NextBigTextWriter(out, seen), 0u) << "no worker began the large text";
    // The event goes to every process of a console: this one joins the program's for the
    // moment of sending it, ignoring the event itself.
    ::FreeConsole();
    ASSERT_NE(::AttachConsole(run.Id()), 0) << ::GetLastError();
    ::SetConsoleCtrlHandler(nullptr, TRUE);
    for (int i = 0; i < presses; ++i) {
        EXPECT_NE(::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0), 0) << ::GetLastError();
    }
    ::FreeConsole();
    ::AttachConsole(ATTACH_PARENT_PROCESS);
    const Outcome r = run.Wait();
    EXPECT_EQ(r.status, 130u) << r.err;
    EXPECT_EQ(Slurp(out + "/a.txt"), "a\r\n");
    EXPECT_EQ(system::StateOf(out + "/big.txt").kind,
              presses == 1 ? system::FileKind::kFile : system::FileKind::kMissing);
    EXPECT_EQ(system::StateOf(out + "/c.txt").kind, system::FileKind::kMissing);
}

INSTANTIATE_TEST_SUITE_P(Presses, CtrlC, ::testing::Values(1, 2));

}  // namespace
}  // namespace corvanel::cli
