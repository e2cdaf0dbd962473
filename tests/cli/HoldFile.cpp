// Holds a file open as another program would (reading, sharing only reading, so it can be
// neither replaced nor deleted meanwhile), for the tests of writing next to such a program.
//
//   hold_file FILE MARKER [MILLISECONDS]
//
// Creates MARKER once the file is held. With MILLISECONDS, lets go that long after a writer's
// temporary file for FILE (FILE.corvanel-*.tmp) has appeared, i.e. while the writer is trying
// to put it in place; without, holds until ended.

#include <windows.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        return 2;
    }
    const HANDLE held = ::CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        return 1;
    }
    ::CloseHandle(::CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (argc < 4) {
        ::Sleep(INFINITE);
    }
    const std::string temporary = std::string(argv[1]) + ".corvanel-*.tmp";
    WIN32_FIND_DATAA found{};
    HANDLE search = INVALID_HANDLE_VALUE;
    while ((search = ::FindFirstFileA(temporary.c_str(), &found)) == INVALID_HANDLE_VALUE) {
        ::Sleep(10);
    }
    ::FindClose(search);
    ::Sleep(static_cast<DWORD>(std::atoi(argv[3])));
    ::CloseHandle(held);
    return 0;
}
