# How each library Corvanel links is cross-built for 64-bit Windows: static, -O2, no debug
# information. Sourced by scripts/windows/build, which hashes this file into the prefix's key,
# so changing a recipe here rebuilds the libraries into a fresh prefix.
#
# Each build_<name> runs in the unpacked Debian source tree with these set:
#   HOST (the MinGW triple), PREFIX (install here), JOBS, TOOLCHAIN (the CMake toolchain file),
#   BOOST_INCLUDE (a folder holding only a `boost` link to Debian's boost headers).

# Debian source package of each library, in build order (later ones link the earlier ones).
windows_libraries=(pugixml libdeflate libxml2 libzip googletest cmark-gfm librevenge libwpd libwps libmwaw)

cmake_static() {
    cmake -S . -B build-windows -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCORVANEL_WINDOWS_PREFIX="$PREFIX" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE=-O2 -DCMAKE_CXX_FLAGS_RELEASE=-O2 \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_SHARED_LIBS=OFF "$@"
    cmake --build build-windows -j "$JOBS"
    cmake --install build-windows
}

# The librevenge family's configure scripts; the boost headers are used header-only. The compilers
# are named: the unsuffixed ones are whichever thread model the system's alternatives chose.
autotools_static() {
    # A configure check these packages carry (from gnulib's visibility.m4) is never run for
    # them, leaving its conditional undefined: answer it here.
    HAVE_VISIBILITY_TRUE='#' HAVE_VISIBILITY_FALSE='' \
        CPPFLAGS="-isystem $BOOST_INCLUDE -I$PREFIX/include" LDFLAGS="-L$PREFIX/lib" \
        CC="$HOST-gcc-posix" CXX="$HOST-g++-posix" \
        CFLAGS=-O2 CXXFLAGS=-O2 PKG_CONFIG_LIBDIR="$PREFIX/lib/pkgconfig:/usr/$HOST/lib/pkgconfig" PKG_CONFIG_PATH= \
        ./configure --host="$HOST" --prefix="$PREFIX" --enable-static --disable-shared \
        --disable-werror --without-docs --disable-dependency-tracking "$@"
    make -j "$JOBS"
    make install
}

build_pugixml() {
    cmake_static -DPUGIXML_BUILD_TESTS=OFF
}

build_libdeflate() {
    make -j "$JOBS" CC="$HOST-gcc-posix" AR="$HOST-ar" CFLAGS=-O2 libdeflatestatic.lib
    install -D -m 644 libdeflatestatic.lib "$PREFIX/lib/libdeflate.a"
    install -D -m 644 libdeflate.h "$PREFIX/include/libdeflate.h"
    mkdir -p "$PREFIX/lib/pkgconfig"
    cat > "$PREFIX/lib/pkgconfig/libdeflate.pc" <<PC
prefix=$PREFIX
Name: libdeflate
Description: Fast implementation of DEFLATE, zlib, and gzip
Version: $(sed -n 's/^#define LIBDEFLATE_VERSION_STRING[^"]*"\(.*\)"/\1/p' libdeflate.h)
Libs: -L\${prefix}/lib -ldeflate
Cflags: -I\${prefix}/include
PC
}

build_libxml2() {
    # Without iconv: the converter decodes legacy code pages itself before libxml2 sees them.
    cmake_static -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF -DLIBXML2_WITH_ISO8859X=ON \
        -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF -DLIBXML2_WITH_PYTHON=OFF \
        -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF -DLIBXML2_WITH_TESTS=OFF \
        -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_THREADS=ON
}

build_libzip() {
    # Windows' own crypto (bcrypt) for encrypted archives; zlib from libz-mingw-w64-dev.
    cmake_static -DENABLE_WINDOWS_CRYPTO=ON -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF \
        -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
        -DENABLE_ZSTD=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF \
        -DBUILD_DOC=OFF -DZLIB_USE_STATIC_LIBS=ON \
        -DZLIB_LIBRARY=/usr/$HOST/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/$HOST/include
}

build_googletest() {
    cmake_static -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF
}

# The tests' GFM reader. Linked statically, its headers must not declare DLL imports, and the
# extensions' archive must come before the core one it uses.
build_cmark-gfm() {
    cmake_static -DCMARK_TESTS=OFF -DCMARK_SHARED=OFF -DCMARK_STATIC=ON
    sed -i -e 's/^Cflags: .*/& -DCMARK_GFM_STATIC_DEFINE -DCMARK_GFM_EXTENSIONS_STATIC_DEFINE/' \
        -e 's/^Libs: .*/Libs: -L${libdir} -lcmark-gfm-extensions -lcmark-gfm/' \
        "$PREFIX/lib/pkgconfig/libcmark-gfm.pc"
}

build_librevenge() {
    autotools_static --disable-tests
}

build_libwpd() {
    autotools_static --disable-tools --without-docs
}

build_libwps() {
    autotools_static --disable-tools --without-docs
}

build_libmwaw() {
    autotools_static --disable-tools --disable-zip --without-docs
}
