# Building for Windows (MinGW-w64): programs that stand alone.
#
# The libraries in the cross-built prefix are static, and so are the C++ runtime and winpthread:
# corvanel-convert.exe and the older formats' module need no DLL beyond Windows' own. Only the
# window links DLLs, Qt's, which are shipped beside it.
add_link_options(-static -static-libgcc -static-libstdc++)
# pkg-config's -l flags become full paths through find_library, which would pick an import
# library (zlib's libz.dll.a) before the static archive beside it: only archives are wanted.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
# Every thread started without a size of its own (the main thread, std::thread) gets the stack the
# program's header reserves: 8 MB, as Linux gives, not MinGW's 2 MB, so nesting a document may go
# as deep on either system before its limit speaks.
add_link_options(-Wl,--stack,8388608)
