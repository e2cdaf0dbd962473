#include "platform/FileTests.h"

#include "system/FileSystem.h"

#include <windows.h>

#include <string>

namespace FileTests {
namespace {

// The system's form of the path (UTF-16, long ones with the \\?\ prefix); empty for a path no
// system call can name.
std::wstring SystemPath(const QString& path) {
    if (CannotBeNamed(path)) {
        return {};
    }
    return corvanel::system::PathFromUtf8(path.toStdString()).native();
}

}  // namespace

bool IsExistingFile(const QString& path) {
    const std::wstring name = SystemPath(path);
    if (name.empty()) {
        return false;
    }
    // Opened for reading as Word would open it; others may go on reading, writing or renaming it.
    const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;  // a folder cannot be opened without backup semantics
    }
    const bool isDisk = ::GetFileType(file) == FILE_TYPE_DISK;
    ::CloseHandle(file);
    return isDisk;
}

bool IsExistingPath(const QString& path) {
    const std::wstring name = SystemPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return !name.empty() && ::GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data);
}

}  // namespace FileTests
