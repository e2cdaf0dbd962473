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
