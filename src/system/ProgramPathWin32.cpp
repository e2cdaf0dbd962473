#include "system/ProgramPath.h"

#include "system/WideText.h"

#include <windows.h>

namespace corvanel::system {

std::string ProgramFileName(std::string_view name) {
    return std::string(name) + ".exe";
}

// Windows has no permission to run apart from reading: a file that is there is tried.
bool IsRunnableProgram(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(WideFromUtf8(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace corvanel::system
