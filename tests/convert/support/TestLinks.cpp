#include "TestLinks.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include "system/FileSystem.h"
#include "system/WideText.h"

#include <windows.h>

#endif

namespace corvanel::convert::testing {

#ifdef _WIN32
namespace {

// Wine's own call for the host's name of a file; absent on Windows.
using UnixFileName = char* (*)(const wchar_t*);

UnixFileName WineUnixFileName() {
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel == nullptr ? nullptr
                             : reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
                                   ::GetProcAddress(kernel, "wine_get_unix_file_name")));
}

std::string HostPath(UnixFileName toUnix, const std::string& path) {
    // The link may not exist yet: its folder is translated, then its name appended.
    const std::filesystem::path full = std::filesystem::absolute(system::PathFromUtf8(path));
    char* folder = toUnix(full.parent_path().wstring().c_str());
    if (folder == nullptr) {
        return {};
    }
    std::string host = folder;
    ::HeapFree(::GetProcessHeap(), 0, folder);
    return host + "/" + system::Utf8FromPath(full.filename());
}

// Wine starts a host program without a handle to wait on: the shell leaves a file beside the
// link once it is made, which this side waits for.
bool RunLn(const std::string& target, const std::string& link, const std::string& made) {
    std::wstring commandLine =
        L"/bin/sh -c \"ln -s \\\"$0\\\" \\\"$1\\\" && : >\\\"$1.made\\\"\" \"" +
        system::WideFromUtf8(target) + L"\" \"" + system::WideFromUtf8(link) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &started) == 0) {
        return false;
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    for (int i = 0; i < 500; ++i) {
        if (system::StateOf(made).kind == system::FileKind::kFile) {
            std::error_code ec;
            std::filesystem::remove(system::PathFromUtf8(made), ec);
            return true;
        }
        ::Sleep(20);
    }
    return false;
}

}  // namespace

bool LinksAreWineHostLinks() {
    return WineUnixFileName() != nullptr;
}

bool MakeLink(const std::string& target, const std::string& link) {
    if (const UnixFileName toUnix = WineUnixFileName()) {
        const std::string hostTarget = HostPath(toUnix, target), hostLink = HostPath(toUnix, link);
        return !hostTarget.empty() && !hostLink.empty() &&
               RunLn(hostTarget, hostLink, link + ".made");
    }
    DWORD flags = SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    if (system::StateOf(target).kind == system::FileKind::kFolder) {
        flags |= SYMBOLIC_LINK_FLAG_DIRECTORY;
    }
    return ::CreateSymbolicLinkW(system::WideFromUtf8(link).c_str(),
                                 system::WideFromUtf8(target).c_str(), flags) != 0;
}

#else

bool LinksAreWineHostLinks() {
    return false;
}

bool MakeLink(const std::string& target, const std::string& link) {
    std::error_code ec;
    std::filesystem::create_symlink(target, link, ec);
    return !ec;
}

#endif

}  // namespace corvanel::convert::testing
