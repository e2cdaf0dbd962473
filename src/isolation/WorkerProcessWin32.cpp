#include "isolation/WorkerProcess.h"

#include "system/ModuleLoader.h"
#include "system/WideText.h"

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cstdio>
#include <mutex>
#include <vector>

namespace corvanel::isolation {

namespace {

HANDLE Handle(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

// One argument as CommandLineToArgvW reads it back: quoted, with the backslashes before a
// quote doubled.
std::wstring Quoted(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

// A job that ends its processes when its last handle closes (this process ending included),
// holds each to a quarter more than `memoryLimit` bytes of committed memory and lets a crash end
// the process instead of waiting on an error dialog.
HANDLE MakeJob(std::uint64_t memoryLimit) {
    HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    if (job == nullptr) {
        return nullptr;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
    if (memoryLimit > 0) {
        limits.BasicLimitInformation.LimitFlags |= JOB_OBJECT_LIMIT_PROCESS_MEMORY;
        limits.ProcessMemoryLimit = static_cast<SIZE_T>(memoryLimit + memoryLimit / 4);
    }
    if (::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ==
        0) {
        ::CloseHandle(job);
        return nullptr;
    }
    return job;
}

// Handles are made inheritable only for the moment of one start, and only the ones listed are
// handed on: another worker's pipe kept by this one would keep it from ever seeing its end.
std::mutex startMutex;

// Starts the program suspended with the three handles as its standard ones.
bool CreateSuspended(const std::wstring& program, std::wstring commandLine, HANDLE input,
                     HANDLE output, PROCESS_INFORMATION& started) {
    HANDLE error = nullptr;
    const HANDLE ownError = ::GetStdHandle(STD_ERROR_HANDLE);
    if (ownError != nullptr && ownError != INVALID_HANDLE_VALUE) {
        ::DuplicateHandle(::GetCurrentProcess(), ownError, ::GetCurrentProcess(), &error, 0, TRUE,
                          DUPLICATE_SAME_ACCESS);
    }
    std::vector<HANDLE> inherited = {input, output};
    if (error != nullptr) {
        inherited.push_back(error);
    }
    SIZE_T size = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<char> storage(size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
    bool made = ::InitializeProcThreadAttributeList(attributes, 1, 0, &size) != 0;
    made = made && ::UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST,
                                               inherited.data(), inherited.size() * sizeof(HANDLE),
                                               nullptr, nullptr) != 0;
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = input;
    startup.StartupInfo.hStdOutput = output;
    startup.StartupInfo.hStdError = error;
    startup.lpAttributeList = attributes;
    if (made) {
        const std::lock_guard lock(startMutex);
        ::SetHandleInformation(input, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        ::SetHandleInformation(output, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
        made = ::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                CREATE_SUSPENDED | CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT,
                                nullptr, nullptr, &startup.StartupInfo, &started) != 0;
        ::SetHandleInformation(input, HANDLE_FLAG_INHERIT, 0);
        ::SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
    }
    if (!storage.empty()) {
        ::DeleteProcThreadAttributeList(attributes);
    }
    if (error != nullptr) {
        ::CloseHandle(error);
    }
    return made;
}

}  // namespace

std::string ThisProgram() {
    return system::ThisProgramFile();
}

bool WorkerProcess::Start(const std::string& program, const char*, const char* argument,
                          std::uint64_t memoryLimit) {
    Stop(false);
    PipeEnd requests[2] = {kNoPipe, kNoPipe};
    PipeEnd answers[2] = {kNoPipe, kNoPipe};
    if (!OpenPipe(requests)) {
        return false;
    }
    if (!OpenPipe(answers)) {
        ClosePipe(requests[0]);
        ClosePipe(requests[1]);
        return false;
    }
    const std::wstring wideProgram = system::WideFromUtf8(program);
    const std::wstring commandLine =
        Quoted(wideProgram) + L" " + Quoted(system::WideFromUtf8(argument));
    HANDLE job = MakeJob(memoryLimit);
    PROCESS_INFORMATION started{};
    bool running = job != nullptr && CreateSuspended(wideProgram, commandLine, Handle(requests[0]),
                                                     Handle(answers[1]), started);
    if (running && ::AssignProcessToJobObject(job, started.hProcess) == 0) {
        ::TerminateProcess(started.hProcess, 1);
        ::CloseHandle(started.hThread);
        ::CloseHandle(started.hProcess);
        running = false;
    }
    if (!running) {
        if (job != nullptr) {
            ::CloseHandle(job);
        }
        return Adopt(-1, requests, answers);
    }
    ::ResumeThread(started.hThread);
    ::CloseHandle(started.hThread);
    handles_.process = reinterpret_cast<std::intptr_t>(started.hProcess);
    handles_.job = reinterpret_cast<std::intptr_t>(job);
    memoryLimit_ = memoryLimit;
    exceededMemory_ = false;
    return Adopt(static_cast<pid_t>(started.dwProcessId), requests, answers);
}

bool WorkerProcess::StartCopy(int (*)()) {
    return false;
}

int WorkerProcess::Stop(bool gently) {
    if (pid_ < 0) {
        return 0;
    }
    const HANDLE process = Handle(handles_.process);
    if (!gently) {
        ::TerminateProcess(process, 1);
    }
    EndInput();
    ::WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process, &code);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION used{};
    exceededMemory_ =
        memoryLimit_ > 0 &&
        ::QueryInformationJobObject(Handle(handles_.job), JobObjectExtendedLimitInformation, &used,
                                    sizeof used, nullptr) != 0 &&
        used.PeakProcessMemoryUsed > memoryLimit_;
    ::CloseHandle(process);
    ::CloseHandle(Handle(handles_.job));
    handles_ = {};
    ClosePipe(answers_);
    pid_ = -1;
    reader_ = FrameReader();
    return static_cast<int>(code);
}

void WorkerProcess::EndInput() {
    ClosePipe(requests_);
}

std::uint64_t WorkerProcess::ResidentBytes() const {
    PROCESS_MEMORY_COUNTERS counters{};
    if (pid_ < 0 ||
        ::GetProcessMemoryInfo(Handle(handles_.process), &counters, sizeof counters) == 0) {
        return 0;
    }
    return counters.WorkingSetSize;
}

void KillProcess(pid_t pid) {
    const HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid));
    if (process != nullptr) {
        ::TerminateProcess(process, 1);
        ::CloseHandle(process);
    }
}

// The job the worker runs in ends it with its starter; Ctrl+C in the console is the starter's
// to answer, and a crash ends the worker without a dialog.
bool PrepareWorkerSide() {
    ::SetConsoleCtrlHandler(nullptr, TRUE);
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    return true;
}

std::string CrashReason(int status) {
    const auto code = static_cast<unsigned long>(static_cast<DWORD>(status));
    char how[64];
    if ((code & 0xC0000000ul) == 0xC0000000ul) {  // an exception the system ended it with
        std::snprintf(how, sizeof how, "exception 0x%08lX", code);
    } else {
        std::snprintf(how, sizeof how, "exit status %lu", code);
    }
    return std::string("its worker process ended twice (") + how + ")";
}

}  // namespace corvanel::isolation
