#include "system/FileSystem.h"

#include "system/WideText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace corvanel::system {

namespace fs = std::filesystem;

namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

// Paths of MAX_PATH characters or more reach the system only with the \\?\ prefix, which also
// turns off its clean-up of the path: the full, backslashed form is made first.
std::wstring SystemPath(std::string_view utf8) {
    std::wstring wide = WideFromUtf8(utf8);
    if (wide.size() < MAX_PATH || wide.starts_with(kLongPrefix)) {
        return wide;
    }
    const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return wide;
    }
    full.resize(length);
    if (full.starts_with(L"\\\\")) {
        return std::wstring(kLongUncPrefix) + full.substr(2);
    }
    return std::wstring(kLongPrefix) + full;
}

int ErrnoFor(DWORD error) {
    switch (error) {
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EACCES;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        default:
            return EIO;
    }
}

// An open handle on whatever the path leads to (links and junctions followed), or none.
HANDLE OpenForInformation(const std::string& path) {
    return ::CreateFileW(SystemPath(path).c_str(), 0,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Whether a failed replace or create of `target` is another program's open handle on it, which
// ends by itself: sharing and lock violations, and access denied on an existing file that is
// neither a folder nor read-only (a file open without delete sharing cannot be replaced).
bool HeldOpenElsewhere(DWORD error, const std::string& target) {
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
        error == ERROR_USER_MAPPED_FILE) {
        return true;
    }
    if (error != ERROR_ACCESS_DENIED) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(SystemPath(target).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
}

// Moves `from` over `to`, waiting for a program that holds `to` open: pauses from 50 ms,
// doubled up to 1 s, until kHeldFileWaitMilliseconds have passed.
std::error_code ReplaceWaitingForHolder(const std::string& from, const std::string& to) {
    const ULONGLONG started = ::GetTickCount64();
    DWORD pause = 50;
    while (true) {
        const std::error_code ec = MoveReplacing(from, to);
        if (!ec || !HeldOpenElsewhere(static_cast<DWORD>(ec.value()), to)) {
            return ec;
        }
        const ULONGLONG waited = ::GetTickCount64() - started;
        if (waited >= kHeldFileWaitMilliseconds) {
            return HeldByAnotherProgram();
        }
        ::Sleep(static_cast<DWORD>(std::min<ULONGLONG>(pause, kHeldFileWaitMilliseconds - waited)));
        pause = std::min<DWORD>(pause * 2, 1000);
    }
}

}  // namespace

fs::path PathFromUtf8(std::string_view utf8) {
    return fs::path(SystemPath(utf8));
}

std::string Utf8FromPath(const fs::path& path) {
    std::wstring_view wide = path.native();
    if (wide.starts_with(kLongUncPrefix)) {
        return "\\\\" + Utf8FromWide(wide.substr(kLongUncPrefix.size()));
    }
    if (wide.starts_with(kLongPrefix)) {
        wide.remove_prefix(kLongPrefix.size());
    }
    return Utf8FromWide(wide);
}

// Opened through CreateFileW, which takes UTF-16 and long paths, then handed to the C library
// as a stream. Always binary: the text written is exactly the bytes given.
std::FILE* OpenFile(const std::string& path, const char* mode) {
    const bool plus = std::strchr(mode, '+') != nullptr;
    DWORD access = GENERIC_READ;
    DWORD creation = OPEN_EXISTING;
    int flags = _O_BINARY | (plus ? _O_RDWR : _O_RDONLY);
    switch (mode[0]) {
        case 'w':
            access = plus ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE;
            creation = std::strchr(mode, 'x') != nullptr ? CREATE_NEW : CREATE_ALWAYS;
            flags = _O_BINARY | (plus ? _O_RDWR : _O_WRONLY);
            break;
        case 'a':
            access = plus ? GENERIC_READ | FILE_APPEND_DATA : FILE_APPEND_DATA;
            creation = OPEN_ALWAYS;
            flags = _O_BINARY | _O_APPEND | (plus ? _O_RDWR : _O_WRONLY);
            break;
        default:
            if (plus) {
                access |= GENERIC_WRITE;
            }
            break;
    }
    const HANDLE handle = ::CreateFileW(SystemPath(path).c_str(), access,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = ErrnoFor(::GetLastError());
        return nullptr;
    }
    const int descriptor = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (descriptor < 0) {
        ::CloseHandle(handle);
        errno = EMFILE;
        return nullptr;
    }
    const char* streamMode = mode[0] == 'w'   ? (plus ? "w+b" : "wb")
                             : mode[0] == 'a' ? (plus ? "a+b" : "ab")
                                              : (plus ? "r+b" : "rb");
    std::FILE* file = ::_fdopen(descriptor, streamMode);
    if (file == nullptr) {
        ::_close(descriptor);
    }
    return file;
}

std::error_code MoveReplacing(const std::string& from, const std::string& to) {
    if (::MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(),
                      MOVEFILE_REPLACE_EXISTING) != 0) {
        return {};
    }
    return std::error_code(static_cast<int>(::GetLastError()), std::system_category());
}

FileState StateOf(const std::string& path) {
    FileState state;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (::GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data) == 0) {
        return state;
    }
    DWORD attributes = data.dwFileAttributes;
    FILETIME written = data.ftLastWriteTime;
    ULARGE_INTEGER size{};
    size.LowPart = data.nFileSizeLow;
    size.HighPart = data.nFileSizeHigh;
    // A link or junction tells about itself: what it leads to is looked at through a handle.
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        const HANDLE handle = OpenForInformation(path);
        BY_HANDLE_FILE_INFORMATION target{};
        const bool known =
            handle != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(handle, &target) != 0;
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
        if (!known) {
            return state;  // a dangling link
        }
        attributes = target.dwFileAttributes;
        written = target.ftLastWriteTime;
        size.LowPart = target.nFileSizeLow;
        size.HighPart = target.nFileSizeHigh;
    }
    const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool device = (attributes & FILE_ATTRIBUTE_DEVICE) != 0;
    state.kind = folder ? FileKind::kFolder : device ? FileKind::kOther : FileKind::kFile;
    state.size = state.kind == FileKind::kFile ? size.QuadPart : 0;
    ULARGE_INTEGER ticks{};
    ticks.LowPart = written.dwLowDateTime;
    ticks.HighPart = written.dwHighDateTime;
    state.modified = static_cast<std::int64_t>(ticks.QuadPart) * 100;
    return state;
}

std::optional<FileIdentity> IdentityOf(const std::string& path) {
    const HANDLE handle = OpenForInformation(path);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = ErrnoFor(::GetLastError());
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
    ::CloseHandle(handle);
    if (!known) {
        return std::nullopt;
    }
    return FileIdentity{
        info.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// NTFS compares names through a table of upper-case letters fixed when the volume was made; the
// system's locale-independent upper case is that table for every letter in use today.
std::string CaseKey(const std::string& path) {
    std::wstring wide = WideFromUtf8(path);
    if (wide.empty()) {
        return path;
    }
    const int size = static_cast<int>(wide.size());
    std::wstring upper(wide.size(), L'\0');
    if (::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.c_str(), size, upper.data(),
                        size, nullptr, nullptr, 0) != size) {
        return path;
    }
    return Utf8FromWide(upper);
}

// FindFirstFileExW reads long paths with their prefix, where the C library's folder reading
// (under std::filesystem's) does not.
std::error_code ListFolder(const std::string& folder, std::vector<std::string>& names) {
    std::string pattern = folder;
    if (pattern.empty() || (pattern.back() != '\\' && pattern.back() != '/')) {
        pattern += '\\';
    }
    pattern += '*';
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        ::FindFirstFileExW(SystemPath(pattern).c_str(), FindExInfoBasic, &found,
                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        return std::error_code(static_cast<int>(::GetLastError()), std::system_category());
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.push_back(Utf8FromWide(name));
        }
    } while (::FindNextFileW(search, &found) != 0);
    const DWORD ended = ::GetLastError();
    ::FindClose(search);
    if (ended != ERROR_NO_MORE_FILES) {
        return std::error_code(static_cast<int>(ended), std::system_category());
    }
    return {};
}

unsigned long CurrentProcessId() {
    return ::GetCurrentProcessId();
}

// Backup semantics open a folder too, so that what the path leads to is told from the handle.
ReadableFile ReadableFile::Open(const std::string& path) {
    ReadableFile file;
    const HANDLE handle =
        ::CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // A folder that may not be read is still told as a folder.
        const DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
        if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            file.kind_ = FileKind::kFolder;
        }
        errno = ErrnoFor(error);
        return file;
    }
    file.handle_ = reinterpret_cast<std::intptr_t>(handle);
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(handle) != FILE_TYPE_DISK ||
        ::GetFileInformationByHandle(handle, &info) == 0) {
        file.kind_ = FileKind::kOther;  // a device, a pipe
        return file;
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        file.kind_ = FileKind::kFolder;
        return file;
    }
    file.kind_ = FileKind::kFile;
    file.size_ = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return file;
}

std::int64_t ReadableFile::ReadAt(std::uint64_t offset, char* out, std::size_t length) {
    const HANDLE handle = reinterpret_cast<HANDLE>(handle_);
    std::size_t got = 0;
    while (got < length) {
        const std::uint64_t at = offset + got;
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(at);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(length - got, 1u << 30));
        DWORD n = 0;
        if (::ReadFile(handle, out + got, ask, &n, &position) == 0) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_HANDLE_EOF) {
                break;
            }
            errno = ErrnoFor(error);
            return -1;
        }
        got += n;
        // Short at the size seen or past it: the end, without a further read to find it.
        if (n == 0 || (n < ask && offset + got >= size_)) {
            break;
        }
    }
    return static_cast<std::int64_t>(got);
}

void ReadableFile::Close() {
    if (handle_ != kNoHandle) {
        ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
        handle_ = kNoHandle;
    }
}

// Windows has no unnamed files: always a temporary file beside the target, replacing it.
std::error_code StagedFile::Create() {
    return CreateNamed();
}

std::error_code StagedFile::CreateNamed() {
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = TemporaryNameBeside(target_, attempt);
        const HANDLE handle = ::CreateFileW(SystemPath(name).c_str(), GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            handle_ = reinterpret_cast<std::intptr_t>(handle);
            temporary_ = name;
            return {};
        }
        const int error = ErrnoFor(::GetLastError());
        if (error != EEXIST) {
            return std::error_code(error, std::generic_category());
        }
    }
    return std::make_error_code(std::errc::file_exists);
}

std::error_code StagedFile::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD n = 0;
        if (::WriteFile(reinterpret_cast<HANDLE>(handle_), bytes.data(), ask, &n, nullptr) == 0) {
            return std::error_code(ErrnoFor(::GetLastError()), std::generic_category());
        }
        bytes.remove_prefix(n);
    }
    return {};
}

std::error_code StagedFile::Publish() {
    if (handle_ == kNoHandle) {
        return std::make_error_code(std::errc::bad_file_descriptor);
    }
    const bool closed = ::CloseHandle(reinterpret_cast<HANDLE>(handle_)) != 0;
    handle_ = kNoHandle;
    std::error_code ec;
    if (!closed) {
        ec = std::error_code(ErrnoFor(::GetLastError()), std::generic_category());
    } else if (ec = ReplaceWaitingForHolder(temporary_, target_); !ec) {
        temporary_.clear();
    }
    Discard();
    return ec;
}

void StagedFile::Discard() {
    if (handle_ != kNoHandle) {
        ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
        handle_ = kNoHandle;
    }
    if (!temporary_.empty()) {
        ::DeleteFileW(SystemPath(temporary_).c_str());
        temporary_.clear();
    }
}

}  // namespace corvanel::system
