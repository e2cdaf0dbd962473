#include "lib/WorkerProgram.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace corvanel::library {

namespace {

namespace fs = std::filesystem;

std::optional<std::string> Find() {
    if (const char* chosen = secure_getenv("CORVANEL_WORKER"); chosen != nullptr && *chosen) {
        return ::access(chosen, X_OK) == 0 ? std::optional<std::string>(chosen) : std::nullopt;
    }
    Dl_info info{};
    void* map = nullptr;
    if (dladdr1(reinterpret_cast<void*>(&Find), &info, &map, RTLD_DL_LINKMAP) == 0 ||
        map == nullptr) {
        return std::nullopt;
    }
    const char* name = static_cast<link_map*>(map)->l_name;
    std::error_code error;
    fs::path folder = name != nullptr && *name
                          ? fs::absolute(name, error).parent_path()
                          : fs::read_symlink("/proc/self/exe", error).parent_path();
    for (const fs::path& candidate : {folder / "corvanel" / kWorkerName, folder / kWorkerName}) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    return std::nullopt;
}

}  // namespace

const std::optional<std::string>& WorkerProgram() {
    static std::once_flag found;
    static std::optional<std::string> program;
    std::call_once(found, [] { program = Find(); });
    return program;
}

}  // namespace corvanel::library
