#include "system/ModuleLoader.h"

#include "system/WideText.h"

#include <windows.h>

#include <cstdlib>

namespace corvanel::system {

void* OpenModule(const std::string& path, std::string& error) {
    // The module's own folder is searched for the libraries it needs, not the program's.
    HMODULE module =
        ::LoadLibraryExW(WideFromUtf8(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        error = path + " does not load (Windows error " + std::to_string(::GetLastError()) + ")";
    }
    return reinterpret_cast<void*>(module);
}

void* ModuleSymbol(void* module, const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

namespace {

std::string ModuleFile(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length =
            ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return Utf8FromWide(path);
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

std::string ThisProgramFile() {
    return ModuleFile(nullptr);
}

std::string ThisSharedLibraryFile() {
    HMODULE module = nullptr;
    if (::GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&ThisSharedLibraryFile), &module) == 0 ||
        module == ::GetModuleHandleW(nullptr)) {
        return {};
    }
    return ModuleFile(module);
}

std::string TrustedEnvironmentValue(const char* name) {
    const wchar_t* value = ::_wgetenv(WideFromUtf8(name).c_str());
    return value != nullptr ? Utf8FromWide(value) : std::string();
}

}  // namespace corvanel::system
