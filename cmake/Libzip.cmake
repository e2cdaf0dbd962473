# libzip, as the target corvanel::libzip. Debian's shared libzip brings in libcrypto and libbz2,
# which every start of the program then maps and relocates, though Corvanel never opens an
# encrypted or bzip2-compressed package. Debian's libzip source is kept in third_party/libzip
# (scripts/refresh-libzip) and built here statically, with deflate only and no crypto backend.
# With the option set empty the system's shared libzip serves instead.
set(CORVANEL_LIBZIP_SOURCE "${PROJECT_SOURCE_DIR}/third_party/libzip" CACHE PATH
    "libzip source to build statically (empty or missing: the system's libzip)")

add_library(corvanel_libzip INTERFACE)
add_library(corvanel::libzip ALIAS corvanel_libzip)
if(CORVANEL_LIBZIP_SOURCE AND EXISTS "${CORVANEL_LIBZIP_SOURCE}/CMakeLists.txt"
   AND NOT CMAKE_CROSSCOMPILING)
    include(ExternalProject)
    find_package(ZLIB REQUIRED)
    set(prefix "${CMAKE_BINARY_DIR}/libzip")
    set(archive "${prefix}/lib/${CMAKE_STATIC_LIBRARY_PREFIX}zip${CMAKE_STATIC_LIBRARY_SUFFIX}")
    ExternalProject_Add(libzip_static
        SOURCE_DIR "${CORVANEL_LIBZIP_SOURCE}"
        INSTALL_DIR "${prefix}"
        CMAKE_ARGS
            -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR> -DCMAKE_INSTALL_LIBDIR=lib
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_POSITION_INDEPENDENT_CODE=ON
            -DBUILD_SHARED_LIBS=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF
            -DBUILD_DOC=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF
            -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF
        BUILD_BYPRODUCTS "${archive}"
        UPDATE_COMMAND ""
        USES_TERMINAL_BUILD OFF)
    file(MAKE_DIRECTORY "${prefix}/include")
    target_include_directories(corvanel_libzip INTERFACE "${prefix}/include")
    target_link_libraries(corvanel_libzip INTERFACE "${archive}" ZLIB::ZLIB)
    add_dependencies(corvanel_libzip libzip_static)
    message(STATUS "libzip: built statically from ${CORVANEL_LIBZIP_SOURCE}")
else()
    pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
    target_link_libraries(corvanel_libzip INTERFACE PkgConfig::LIBZIP)
    message(STATUS "libzip: the system's shared library")
endif()
