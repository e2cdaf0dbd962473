# How Qt (Debian's qt6-base source) is cross-built for the window: Core, Gui, Widgets, Network
# (its local sockets: a second start hands its documents to the open window), Test and the
# Windows platform plugin, as DLLs, Release, without debug information. Sourced by
# scripts/windows/build, which hashes this file into the Qt prefix's key.
#
# build_qt6_base SOURCE BUILD runs with HOST, JOBS, TOOLCHAIN and QT_PREFIX set. It runs at a low
# priority (nice 15): it takes about 25 minutes of both cores, and others' compiles come first.

build_qt6_base() {
    local source=$1 build=$2 launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # The host's Qt (the same version) supplies moc, rcc, uic and the other build tools.
    # pkg-config is off: Debian's patch keeps it on, and host libraries would leak in.
    # Every third-party library is Qt's bundled copy. Debian's repacked source has no wintab,
    # so tablet events are off; MinGW's headers lack Direct2D 1.1 (Direct2D itself must stay,
    # the DirectWrite font database of qwindows is built only with it).
    nice -n 15 cmake -S "$source" -B "$build" -G Ninja "${launcher[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCORVANEL_WINDOWS_PREFIX=/nonexistent \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$QT_PREFIX" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_pkg_config=OFF \
        -DFEATURE_sql=OFF -DFEATURE_ssl=OFF -DFEATURE_openssl=OFF -DFEATURE_schannel=OFF \
        -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
        -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no \
        -DFEATURE_vulkan=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF \
        -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF -DFEATURE_icu=OFF \
        -DFEATURE_glib=OFF -DFEATURE_zstd=OFF -DFEATURE_tabletevent=OFF \
        -DFEATURE_direct2d1_1=OFF
    nice -n 15 cmake --build "$build" -j "$JOBS"
    cmake --install "$build"
}
