#include "system/ProgramPath.h"

#include <sys/stat.h>
#include <unistd.h>

namespace corvanel::system {

std::string ProgramFileName(std::string_view name) {
    return std::string(name);
}

bool IsRunnableProgram(const std::string& path) {
    struct stat state {};
    return ::stat(path.c_str(), &state) == 0 && S_ISREG(state.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

}  // namespace corvanel::system
