#pragma once

#include <QString>

// The user's Desktop folder as the platform names it (native separators); empty when the
// platform cannot tell. Windows asks the shell for the known folder (DesktopFolderWin32.cpp);
// elsewhere Qt reads the desktop's own setting (DesktopFolderPosix.cpp).
QString DesktopFolder();
