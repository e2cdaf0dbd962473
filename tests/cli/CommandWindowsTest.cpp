// corvanel-convert as a Windows program: arguments read as UTF-16, texts with CRLF line ends,
// records and texts as exact bytes, workers started as programs in job objects.

#include "TestZip.h"
#include "system/FileSystem.h"
#include "system/WideText.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>
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

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(system::WideFromUtf8(path).c_str(), access,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation, 0, nullptr);
}

// Runs the program with its output and errors in files of `scratch`, arguments passed in UTF-16.
Outcome RunConverter(const TemporaryFolder& scratch, const std::vector<std::string>& args) {
    std::wstring program(MAX_PATH, L'\0');
    program.resize(::GetFullPathNameW(system::WideFromUtf8(CORVANEL_CONVERT_PROGRAM).c_str(),
                                      MAX_PATH, program.data(), nullptr));
    std::wstring commandLine = L"\"" + program + L"\"";
    for (const std::string& arg : args) {
        commandLine += L" \"" + system::WideFromUtf8(arg) + L"\"";
    }
    const HANDLE input = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
    const HANDLE output = InheritableFile(scratch.File("stdout"), GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE errors = InheritableFile(scratch.File("stderr"), GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = errors;
    PROCESS_INFORMATION started{};
    Outcome outcome;
    if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         nullptr, &startup, &started) != 0) {
        ::WaitForSingleObject(started.hProcess, INFINITE);
        ::GetExitCodeProcess(started.hProcess, &outcome.status);
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
    }
    for (const HANDLE handle : {input, output, errors}) {
        ::CloseHandle(handle);
    }
    outcome.out = Slurp(scratch.File("stdout"));
    outcome.err = Slurp(scratch.File("stderr"));
    return outcome;
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

}  // namespace
}  // namespace corvanel::cli
