#pragma once

// Programs a process starts by path: their file names and the test that one can be started
// (ProgramPathPosix.cpp, ProgramPathWin32.cpp).

#include <string>
#include <string_view>

namespace corvanel::system {

// The file name of the program called `name`: "name" here, "name.exe" on Windows.
std::string ProgramFileName(std::string_view name);

// Whether `path` (UTF-8) names a file this process may start as a program.
bool IsRunnableProgram(const std::string& path);

}  // namespace corvanel::system
