#include "system/ModuleLoader.h"

#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace corvanel::system {

void* OpenModule(const std::string& path, std::string& error) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : path + " does not load";
    }
    return module;
}

void* ModuleSymbol(void* module, const char* name) {
    return dlsym(module, name);
}

std::string ThisProgramFile() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.string();
}

std::string ThisSharedLibraryFile() {
    Dl_info info{};
    void* map = nullptr;
    if (dladdr1(reinterpret_cast<void*>(&ThisSharedLibraryFile), &info, &map, RTLD_DL_LINKMAP) ==
            0 ||
        map == nullptr) {
        return {};
    }
    // The program itself has an empty name in the list of loaded objects.
    const char* name = static_cast<link_map*>(map)->l_name;
    std::error_code error;
    return name != nullptr && *name ? std::filesystem::absolute(name, error).string()
                                    : std::string();
}

std::string TrustedEnvironmentValue(const char* name) {
    const char* value = secure_getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace corvanel::system
