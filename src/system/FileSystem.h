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

// A file open for reading, closed with the object. What it is and its size are asked of the
// opened file, so they describe what is read however the path changes meanwhile.
class ReadableFile {
public:
    ReadableFile() = default;
    ~ReadableFile();
    ReadableFile(ReadableFile&& other) noexcept;
    ReadableFile& operator=(ReadableFile&& other) noexcept;

    // Opens what the path leads to (a folder or device too, never waiting on one); on failure
    // nothing is open and errno tells why (the kind is known still where the system tells it).
    static ReadableFile Open(const std::string& path);

    bool IsOpen() const { return handle_ != kNoHandle; }
    FileKind Kind() const { return kind_; }
    std::uint64_t Size() const { return size_; }  // of a regular file, when it was opened
    // Reads up to `length` bytes from `offset`; fewer only where the file ends (a read that
    // stops short at or past the size seen when opened is taken as its end). Returns the
    // count, or -1 with errno set.
    std::int64_t ReadAt(std::uint64_t offset, char* out, std::size_t length);
    void Close();

private:
    static constexpr std::intptr_t kNoHandle = -1;
    std::intptr_t handle_ = kNoHandle;  // a descriptor, or a HANDLE on Windows
    FileKind kind_ = FileKind::kMissing;
    std::uint64_t size_ = 0;
};

// A file written for `target` and put in its place only when whole: nothing of it is ever seen
// under the target's name before, and an earlier target stays whole until it is replaced. On
// Linux it is made unnamed in the target's folder (O_TMPFILE) and linked in as the target, so
// a new target costs one name and a failure leaves nothing behind. Where the target exists
// already, the system has no unnamed files or the file system refuses them, the file is a
// temporary one beside the target, renamed over it: that replaces whatever is there, as a
// file or link (a folder in the way is an error). On Windows a target another program holds
// open is waited for a few seconds (kHeldFileWaitMilliseconds) before Publish gives up with
// HeldByAnotherProgram().
class StagedFile {
public:
    enum class Naming { kUnnamedWherePossible, kNamedOnly };

    explicit StagedFile(std::string target, Naming naming = Naming::kUnnamedWherePossible);
    ~StagedFile();  // discards a file not published
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    std::error_code Create();
    std::error_code Write(std::string_view bytes);
    // Closes the file and puts it in the target's place; when that fails, nothing of it stays.
    std::error_code Publish();
    void Discard();

private:
    static constexpr std::intptr_t kNoHandle = -1;
    std::error_code CreateNamed();

    std::string target_;
    Naming naming_;
    std::string temporary_;             // its name beside the target, while it has one
    std::intptr_t handle_ = kNoHandle;  // a descriptor, or a HANDLE on Windows
};

// Publishing on Windows retries a target held open by another program (an editor, the search
// indexer, a virus scan of a file just written) with growing pauses, about this long in all.
constexpr int kHeldFileWaitMilliseconds = 5000;

// What Publish returns when the target stayed held through the whole wait.
std::error_code HeldByAnotherProgram();

// A name beside `target` for a temporary file that no other writer (thread or process) picks
// at the same time; each attempt gives another.
std::string TemporaryNameBeside(const std::string& target, int attempt);

}  // namespace corvanel::system
