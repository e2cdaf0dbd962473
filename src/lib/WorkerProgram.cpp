#include "lib/WorkerProgram.h"

#include "system/FileSystem.h"
#include "system/ModuleLoader.h"
#include "system/ProgramPath.h"

#include <mutex>

namespace corvanel::library {

namespace {

std::optional<std::string> Find() {
    if (std::string chosen = system::TrustedEnvironmentValue("CORVANEL_WORKER"); !chosen.empty()) {
        return system::IsRunnableProgram(chosen) ? std::optional<std::string>(chosen)
                                                 : std::nullopt;
    }
    std::string library = system::ThisSharedLibraryFile();
    if (library.empty()) {
        // Linked into a program instead: its folder stands for the library's.
        library = system::ThisProgramFile();
    }
    if (library.empty()) {
        return std::nullopt;
    }
    const auto folder = system::PathFromUtf8(library).parent_path();
    const auto file = system::PathFromUtf8(system::ProgramFileName(kWorkerName));
    for (const auto& candidate : {folder / "corvanel" / file, folder / file}) {
        if (std::string path = system::Utf8FromPath(candidate); system::IsRunnableProgram(path)) {
            return path;
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
