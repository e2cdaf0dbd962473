# Install layout and the Debian package.
#
# The program looks for its companions (Samples, HAND-M.CUR, drag.ico, the optional x/o.cjs skin)
# beside its executable, so everything lives together under opt/corvanel; the two commands are
# linked into usr/bin (the program resolves the link to find its folder). With no prefix given,
# `cmake --install` installs into "/" (that layout); give --prefix to install into a staging
# folder instead.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX "/" CACHE PATH "Install root" FORCE)
endif()

set(CORVANEL_INSTALL_DIR "opt/corvanel")
set(CORVANEL_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(CORVANEL_DOC_DIR "usr/share/doc/corvanel")

install(TARGETS corvanel-convert RUNTIME DESTINATION ${CORVANEL_INSTALL_DIR})
if(TARGET corvanel-server)
    install(TARGETS corvanel-server RUNTIME DESTINATION ${CORVANEL_INSTALL_DIR})
endif()
# Beside corvanel-convert, which it runs by default on the cluster's workers.
install(PROGRAMS ${PROJECT_SOURCE_DIR}/src/dask/corvanel-dask DESTINATION ${CORVANEL_INSTALL_DIR})
# The older formats' reader, opened on first use from the programs' own folder. dpkg-shlibdeps
# finds the libraries it links (librevenge, libwpd, libwps, libmwaw) for the package's Depends.
install(TARGETS corvanel-revenge LIBRARY DESTINATION ${CORVANEL_INSTALL_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(CORVANEL_MANUAL_PAGES corvanel-convert.1 corvanel-dask.1)
if(TARGET corvanel-server)
    # Installed, not enabled: the administrator starts it (systemctl enable --now corvanel-server).
    # The maintainer scripts tell systemd of the unit and remove its links on purge.
    install(FILES ${CORVANEL_PACKAGING_DIR}/corvanel-server.service DESTINATION lib/systemd/system)
    list(APPEND CORVANEL_MANUAL_PAGES corvanel-server.1)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CORVANEL_PACKAGING_DIR}/corvanel/postinst
        ${CORVANEL_PACKAGING_DIR}/corvanel/prerm ${CORVANEL_PACKAGING_DIR}/corvanel/postrm)
endif()
if(TARGET corvanel)
    install(TARGETS corvanel RUNTIME DESTINATION ${CORVANEL_INSTALL_DIR})
    install(FILES ${CORVANEL_RESOURCE_DIR}/HAND-M.CUR ${CORVANEL_RESOURCE_DIR}/drag.ico
            DESTINATION ${CORVANEL_INSTALL_DIR})
    # Hidden files, if any, are samples too: the sample button lists every file of the folder.
    install(DIRECTORY ${CORVANEL_RESOURCE_DIR}/Samples DESTINATION ${CORVANEL_INSTALL_DIR})
    install(FILES ${CORVANEL_PACKAGING_DIR}/corvanel.desktop DESTINATION usr/share/applications)
    foreach(size 16 32 48 64 128 256)
        set(icon ${CORVANEL_RESOURCE_DIR}/icons/corvanel-${size}.png)
        if(EXISTS ${icon})
            install(FILES ${icon} DESTINATION usr/share/icons/hicolor/${size}x${size}/apps
                    RENAME corvanel.png)
        endif()
    endforeach()
    if(EXISTS ${CORVANEL_RESOURCE_DIR}/icons/corvanel.svg)
        install(FILES ${CORVANEL_RESOURCE_DIR}/icons/corvanel.svg
                DESTINATION usr/share/icons/hicolor/scalable/apps)
    endif()
    list(APPEND CORVANEL_MANUAL_PAGES corvanel.1)
endif()

# Manual pages and the changelog are installed compressed (gzip -9n: no name or time
# stamp, so the package is reproducible), as Debian does; uncompressed where there is no gzip.
find_program(CORVANEL_GZIP gzip)
mark_as_advanced(CORVANEL_GZIP)
set(CORVANEL_COMPRESSED_DIR ${PROJECT_BINARY_DIR}/packaging)
function(corvanel_install_compressed source destination)
    get_filename_component(name ${source} NAME)
    if(NOT CORVANEL_GZIP)
        install(FILES ${source} DESTINATION ${destination})
        return()
    endif()
    set(output ${CORVANEL_COMPRESSED_DIR}/${name}.gz)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CORVANEL_COMPRESSED_DIR}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${CORVANEL_COMPRESSED_DIR}/${name}
        COMMAND ${CORVANEL_GZIP} -9nf ${CORVANEL_COMPRESSED_DIR}/${name}
        DEPENDS ${source}
        COMMENT "Compressing ${name}"
        VERBATIM)
    set_property(GLOBAL APPEND PROPERTY CORVANEL_COMPRESSED_FILES ${output})
    install(FILES ${output} DESTINATION ${destination})
endfunction()

foreach(page ${CORVANEL_MANUAL_PAGES})
    corvanel_install_compressed(${CORVANEL_PACKAGING_DIR}/${page} usr/share/man/man1)
endforeach()
# The package's changelog names the version being packaged.
file(STRINGS ${CORVANEL_PACKAGING_DIR}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^corvanel \\(${PROJECT_VERSION}\\)")
    message(WARNING "packaging/changelog has no entry for version ${PROJECT_VERSION}; "
                    "add one before building the package")
endif()
corvanel_install_compressed(${CORVANEL_PACKAGING_DIR}/changelog ${CORVANEL_DOC_DIR})
get_property(compressed GLOBAL PROPERTY CORVANEL_COMPRESSED_FILES)
if(compressed)
    add_custom_target(corvanel_compressed_docs ALL DEPENDS ${compressed})
endif()
install(FILES ${CORVANEL_PACKAGING_DIR}/copyright DESTINATION ${CORVANEL_DOC_DIR})
# Third-party software belongs under /opt (FHS); lintian's rule against it is for Debian's own.
install(FILES ${CORVANEL_PACKAGING_DIR}/lintian-overrides DESTINATION usr/share/lintian/overrides
        RENAME corvanel)

# Relative links, so they stay right under any staging root (DESTDIR, CPack).
install(CODE [[
    set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    file(MAKE_DIRECTORY "${root}/usr/bin")
    foreach(program corvanel corvanel-convert corvanel-dask corvanel-server)
        if(EXISTS "${root}/opt/corvanel/${program}")
            file(CREATE_LINK "../../opt/corvanel/${program}" "${root}/usr/bin/${program}" SYMBOLIC)
        endif()
    endforeach()
]])

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "corvanel")
set(CPACK_PACKAGE_VENDOR "Brindlewood")
set(CPACK_PACKAGE_CONTACT "Brindlewood <support@brindlewood.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns batches of word-processing documents into plain text")
# One text (not a list of lines): CPack indents each line for the control file.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Corvanel converts many documents at once into plain-text files, one per\n"
    "document: DOCX, DOC (Word 97-2003, Word 6 and 95), RTF, ODT, Word 2003 XML,\n"
    "HTML and text. It reads them with its own converter; no office suite is\n"
    "needed. It comes with a desktop window and the command-line converter\n"
    "corvanel-convert.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/")
# The program's files only: the library's have packages of their own (LibraryPackaging.cmake).
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/")
set(CPACK_STRIP_FILES ON)
# Files and folders get the usual modes whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "text")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # runtime libraries only, found by dpkg-shlibdeps
# libxml2 reads web pages; it is opened when the first one is read, so dpkg-shlibdeps cannot see
# it among the linked libraries.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libxml2 (>= 2.9)")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# xdg-open shows the sample folder in the file manager.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# corvanel-dask runs on Dask; the rest of the package does without Python.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-distributed")
include(CPack)
