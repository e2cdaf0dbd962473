#include "cli/Console.h"

#include "system/WideText.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace corvanel::cli {

namespace {

// The exit status of a program ended by a second interrupt, as a shell reports SIGINT.
constexpr UINT kInterruptedStatus = 130;

std::atomic<bool>* stopFlag = nullptr;

// Called on a thread of its own. The first Ctrl+C (or Ctrl+Break, or the console closing)
// lets the documents under way finish; a second one ends the program.
BOOL WINAPI RequestStop(DWORD) {
    std::atomic<bool>* stop = stopFlag;
    if (stop == nullptr) {
        return FALSE;
    }
    if (stop->exchange(true)) {
        ::TerminateProcess(::GetCurrentProcess(), kInterruptedStatus);
    }
    return TRUE;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return {argv + 1, argv + argc};
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(system::Utf8FromWide(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
}

std::vector<std::string> ExpandFileArgument(const std::string& argument) {
    if (argument.find_first_of("*?") == std::string::npos) {
        return {argument};
    }
    // The folder part: everything up to the last separator, or a drive's "C:".
    const std::size_t slash = argument.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? std::string() : argument.substr(0, slash + 1);
    if (folder.empty() && argument.size() >= 2 && argument[1] == ':') {
        folder = argument.substr(0, 2);
    }
    std::vector<std::string> paths;
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        ::FindFirstFileExW(system::WideFromUtf8(argument).c_str(), FindExInfoBasic, &found,
                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        return paths;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") {
            paths.push_back(folder + system::Utf8FromWide(name));
        }
    } while (::FindNextFileW(search, &found) != 0);
    ::FindClose(search);
    return paths;
}

void PrepareStandardStreams() {
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    ::SetConsoleOutputCP(CP_UTF8);
}

bool IsTerminal(std::FILE* stream) {
    DWORD mode = 0;
    const HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    return ::GetConsoleMode(handle, &mode) != 0;
}

InterruptScope::InterruptScope(std::atomic<bool>& stop) {
    stopFlag = &stop;
    // A program started by one that ignores Ctrl+C inherits the ignoring; Ctrl+C is taken back,
    // as SIGINT is on POSIX.
    ::SetConsoleCtrlHandler(nullptr, FALSE);
    ::SetConsoleCtrlHandler(RequestStop, TRUE);
}

InterruptScope::~InterruptScope() {
    ::SetConsoleCtrlHandler(RequestStop, FALSE);
    stopFlag = nullptr;
}

}  // namespace corvanel::cli
