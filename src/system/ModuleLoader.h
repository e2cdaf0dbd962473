#pragma once

// Code loaded at run time, and what it takes to find it: dlopen here, LoadLibraryW on Windows
// (ModuleLoaderPosix.cpp, ModuleLoaderWin32.cpp).

#include <string>

namespace corvanel::system {

// Loads the module at `path` (UTF-8) for the life of the process; nullptr with the reason in
// `error` when it cannot be loaded.
void* OpenModule(const std::string& path, std::string& error);
// The address of the module's symbol `name`, or nullptr.
void* ModuleSymbol(void* module, const char* name);

// The file of the running program (UTF-8), or empty when it cannot be told.
std::string ThisProgramFile();
// The shared library this code was linked into (UTF-8); empty when it is part of the program.
std::string ThisSharedLibraryFile();

// An environment variable's value (UTF-8); empty when unset, and ignored where the program
// runs with more privileges than its caller.
std::string TrustedEnvironmentValue(const char* name);

}  // namespace corvanel::system
