#pragma once

// What differs between operating systems about files, behind one interface. Paths are UTF-8
// strings everywhere in the program; they take the system's own form (UTF-16 on Windows, where
// long ones also get the \\?\ prefix) only here. FileSystemPosix.cpp and FileSystemWin32.cpp
// implement it; the build picks one.

#include <compare>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace corvanel::system {

// The standard library's path for a UTF-8 path, and back. (On Windows a std::string given to
// std::filesystem::path is read in the ANSI code page, not as UTF-8.)
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// std::fopen for a UTF-8 path; "x" (create, never open an existing file) is understood on every
// system. Sets errno when it fails.
std::FILE* OpenFile(const std::string& path, const char* mode);

// Puts `from` in the place of `to` in one step, replacing a file already there.
std::error_code MoveReplacing(const std::string& from, const std::string& to);

// What a file is, following links. `modified` counts nanoseconds from an epoch the file system
// keeps; comparable only with itself.
enum class FileKind { kMissing, kFolder, kFile, kOther };
struct FileState {
    FileKind kind = FileKind::kMissing;
    std::uint64_t size = 0;  // of a regular file
    std::int64_t modified = 0;
};
FileState StateOf(const std::string& path);

// Which file a path leads to, links and junctions followed: two paths lead to the same file
// exactly when their identities are equal. Sets errno when there is none.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    auto operator<=>(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentityOf(const std::string& path);

// A path in the form under which the file system tells names apart, for telling whether two
// spellings name one file that may not exist yet: the path itself on POSIX; upper case on
// Windows, whose file systems ignore case ("Report.txt" and "REPORT.TXT" are one file).
std::string CaseKey(const std::string& path);

// The names of a folder's entries ("." and ".." left out), in the order the system gives them.
std::error_code ListFolder(const std::string& folder, std::vector<std::string>& names);

// This process's number, as the system shows it.
unsigned long CurrentProcessId();

}  // namespace corvanel::system
