# libcorvanel's install layout and its three Debian packages, each a CPack configuration of its
# own beside the program's (scripts/package builds all four):
#   libcorvanel1       the library, its worker program and the older formats' module
#   libcorvanel-dev    the header, the link name, corvanel.pc, the CMake package, the example
#   python3-corvanel   the Python module
# The program's own package takes only the files installed without a component.

set(CORVANEL_LIBRARY_DIR "usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}")
set(CORVANEL_LIBRARY_PRIVATE_DIR "${CORVANEL_LIBRARY_DIR}/corvanel")
set(CORVANEL_LIBRARY_PACKAGES libcorvanel1 libcorvanel-dev python3-corvanel)

install(TARGETS libcorvanel LIBRARY DESTINATION ${CORVANEL_LIBRARY_DIR}
        COMPONENT libcorvanel1 NAMELINK_COMPONENT libcorvanel-dev)
install(TARGETS corvanel-worker RUNTIME DESTINATION ${CORVANEL_LIBRARY_PRIVATE_DIR}
        COMPONENT libcorvanel1)
install(TARGETS corvanel-revenge LIBRARY DESTINATION ${CORVANEL_LIBRARY_PRIVATE_DIR}
        COMPONENT libcorvanel1 PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

install(FILES ${PROJECT_SOURCE_DIR}/src/lib/include/corvanel/corvanel.h
        DESTINATION usr/include/corvanel COMPONENT libcorvanel-dev)
configure_file(${CORVANEL_PACKAGING_DIR}/corvanel.pc.in ${CORVANEL_COMPRESSED_DIR}/corvanel.pc
               @ONLY)
install(FILES ${CORVANEL_COMPRESSED_DIR}/corvanel.pc
        DESTINATION ${CORVANEL_LIBRARY_DIR}/pkgconfig COMPONENT libcorvanel-dev)
configure_file(${CORVANEL_PACKAGING_DIR}/CorvanelConfig.cmake.in
               ${CORVANEL_COMPRESSED_DIR}/CorvanelConfig.cmake @ONLY)
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${CORVANEL_COMPRESSED_DIR}/CorvanelConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CORVANEL_COMPRESSED_DIR}/CorvanelConfig.cmake
              ${CORVANEL_COMPRESSED_DIR}/CorvanelConfigVersion.cmake
        DESTINATION ${CORVANEL_LIBRARY_DIR}/cmake/Corvanel COMPONENT libcorvanel-dev)
install(FILES ${PROJECT_SOURCE_DIR}/examples/corvanel-text.c
        DESTINATION usr/share/doc/libcorvanel-dev/examples COMPONENT libcorvanel-dev)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/python/corvanel DESTINATION usr/lib/python3/dist-packages
        COMPONENT python3-corvanel PATTERN __pycache__ EXCLUDE)

foreach(package ${CORVANEL_LIBRARY_PACKAGES})
    install(FILES ${CORVANEL_PACKAGING_DIR}/copyright DESTINATION usr/share/doc/${package}
            COMPONENT ${package})
    install(FILES ${CORVANEL_COMPRESSED_DIR}/changelog.gz DESTINATION usr/share/doc/${package}
            COMPONENT ${package})
    if(EXISTS ${CORVANEL_PACKAGING_DIR}/lintian-overrides-${package})
        install(FILES ${CORVANEL_PACKAGING_DIR}/lintian-overrides-${package}
                DESTINATION usr/share/lintian/overrides COMPONENT ${package} RENAME ${package})
    endif()
endforeach()

# Each package's configuration starts from the program's and changes what differs.
set(CORVANEL_LIBRARY_SUMMARY_libcorvanel1 "converts word-processing documents to text (library)")
set(CORVANEL_LIBRARY_SUMMARY_libcorvanel-dev
    "converts word-processing documents to text (development files)")
set(CORVANEL_LIBRARY_SUMMARY_python3-corvanel
    "converts word-processing documents to text (Python 3 module)")
string(CONCAT CORVANEL_LIBRARY_DETAIL_libcorvanel1
    "This package holds the shared library, the worker program its batches\\n"
    "start and the module that reads WordPerfect, Works and older documents.")
string(CONCAT CORVANEL_LIBRARY_DETAIL_libcorvanel-dev
    "This package holds the C header, the pkg-config and CMake files and an\\n"
    "example program.")
string(CONCAT CORVANEL_LIBRARY_DETAIL_python3-corvanel
    "This package holds the Python module corvanel: corvanel.convert() for one\\n"
    "document, in memory or on disk, and corvanel.convert_many() for many, in\\n"
    "worker processes.")
set(CORVANEL_LIBRARY_SECTION_libcorvanel1 libs)
set(CORVANEL_LIBRARY_SECTION_libcorvanel-dev libdevel)
set(CORVANEL_LIBRARY_SECTION_python3-corvanel python)
set(CORVANEL_LIBRARY_DEPENDS_libcorvanel1 "libxml2 (>= 2.9)")
set(CORVANEL_LIBRARY_DEPENDS_libcorvanel-dev "libcorvanel1 (= ${PROJECT_VERSION})")
set(CORVANEL_LIBRARY_DEPENDS_python3-corvanel
    "python3:any, python3-cffi, libcorvanel1 (= ${PROJECT_VERSION})")
foreach(package ${CORVANEL_LIBRARY_PACKAGES})
    set(config ${PROJECT_BINARY_DIR}/CPackConfig-${package}.cmake)
    string(CONCAT text
        "include(\"${PROJECT_BINARY_DIR}/CPackConfig.cmake\")\n"
        "set(CPACK_PACKAGE_NAME \"${package}\")\n"
        "set(CPACK_DEBIAN_PACKAGE_NAME \"${package}\")\n"
        "set(CPACK_INSTALL_CMAKE_PROJECTS \"${PROJECT_BINARY_DIR};${PROJECT_NAME};${package};/\")\n"
        "set(CPACK_PACKAGE_DESCRIPTION_SUMMARY \"${CORVANEL_LIBRARY_SUMMARY_${package}}\")\n"
        "set(CPACK_PACKAGE_DESCRIPTION \"Corvanel converts DOCX, DOC, RTF, ODT, HTML and text documents\\n"
        "to plain text with its own converter, without an office suite.\\n"
        "${CORVANEL_LIBRARY_DETAIL_${package}}\")\n"
        "set(CPACK_DEBIAN_PACKAGE_SECTION \"${CORVANEL_LIBRARY_SECTION_${package}}\")\n"
        "set(CPACK_DEBIAN_PACKAGE_DEPENDS \"${CORVANEL_LIBRARY_DEPENDS_${package}}\")\n"
        "unset(CPACK_DEBIAN_PACKAGE_RECOMMENDS)\n"
        "unset(CPACK_DEBIAN_PACKAGE_SUGGESTS)\n"
        "unset(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA)\n")
    if(package STREQUAL "python3-corvanel")
        # The byte-compiled files are made on installation and removed before removal, so
        # nothing is left behind in dist-packages.
        string(APPEND text "set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE all)\n"
                           "set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "
                           "\"${CORVANEL_PACKAGING_DIR}/python3-corvanel/postinst;"
                           "${CORVANEL_PACKAGING_DIR}/python3-corvanel/prerm\")\n")
    endif()
    if(package STREQUAL "libcorvanel1")
        # What a program linking the library depends on, and the dynamic linker's cache
        # refreshed by a trigger rather than by maintainer scripts.
        set(control ${CORVANEL_COMPRESSED_DIR}/libcorvanel1)
        file(WRITE ${control}/shlibs "libcorvanel 1 libcorvanel1 (>= ${PROJECT_VERSION})\n")
        file(WRITE ${control}/triggers "activate-noawait ldconfig\n")
        string(APPEND text "set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "
                           "\"${control}/shlibs;${control}/triggers\")\n")
    endif()
    file(WRITE ${config} "${text}")
endforeach()
