# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (-posix threads, for std::thread).
#
# Libraries come from the MinGW sysroot and from the prefix scripts/windows/build fills:
# CORVANEL_WINDOWS_PREFIX (default ~/.cache/corvanel-windows/current) and, for the window,
# CORVANEL_WINDOWS_QT (default ~/.cache/corvanel-windows/qt-current, when it has been built);
# the environment's CORVANEL_WINDOWS_CACHE, as scripts/windows/build takes it, moves that folder.
# Programs built here run through Wine (scripts/windows/wine), so ctest runs the tests under it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CORVANEL_WINDOWS_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${CORVANEL_WINDOWS_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVANEL_WINDOWS_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${CORVANEL_WINDOWS_TRIPLE}-windres)

if(DEFINED ENV{CORVANEL_WINDOWS_CACHE})
    set(corvanel_windows_cache "$ENV{CORVANEL_WINDOWS_CACHE}")
else()
    set(corvanel_windows_cache "$ENV{HOME}/.cache/corvanel-windows")
endif()
if(NOT CORVANEL_WINDOWS_PREFIX)
    if(DEFINED ENV{CORVANEL_WINDOWS_PREFIX})
        set(CORVANEL_WINDOWS_PREFIX "$ENV{CORVANEL_WINDOWS_PREFIX}")
    else()
        set(CORVANEL_WINDOWS_PREFIX "${corvanel_windows_cache}/current")
    endif()
endif()
if(NOT CORVANEL_WINDOWS_QT AND EXISTS "${corvanel_windows_cache}/qt-current/stamps/qt6-base")
    set(CORVANEL_WINDOWS_QT "${corvanel_windows_cache}/qt-current")
endif()
# try_compile projects read this file again: hand them the same folders.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CORVANEL_WINDOWS_PREFIX CORVANEL_WINDOWS_QT)

set(CMAKE_FIND_ROOT_PATH /usr/${CORVANEL_WINDOWS_TRIPLE} ${CORVANEL_WINDOWS_PREFIX})
if(CORVANEL_WINDOWS_QT)
    list(APPEND CMAKE_FIND_ROOT_PATH ${CORVANEL_WINDOWS_QT})
    # Qt's cross build runs the host's moc, rcc and uic (Debian's, the same version).
    set(QT_HOST_PATH /usr)
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees only the Windows libraries, with what static linking needs (Libs.private).
set(ENV{PKG_CONFIG_LIBDIR}
    "${CORVANEL_WINDOWS_PREFIX}/lib/pkgconfig:/usr/${CORVANEL_WINDOWS_TRIPLE}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
set(PKG_CONFIG_ARGN --static)

get_filename_component(corvanel_source_root "${CMAKE_CURRENT_LIST_DIR}/../.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${corvanel_source_root}/scripts/windows/wine)
