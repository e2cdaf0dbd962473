#include "platform/DesktopFolder.h"

#include <shlobj.h>
#include <windows.h>

QString DesktopFolder() {
    PWSTR path = nullptr;
    QString folder;
    // The folder the user sees, redirected or moved included; never created here.
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Desktop, KF_FLAG_DONT_VERIFY, nullptr, &path))) {
        folder = QString::fromWCharArray(path);
    }
    ::CoTaskMemFree(path);  // also owed after a failure
    return folder;
}
