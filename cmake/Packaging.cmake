# Install layout and the Debian package.
#
# The program looks for its companions (Samples, HAND-M.CUR, drag.ico, the optional x/o.cjs skin)
# beside its executable, so everything lives together under opt/corvanel; the two commands are
# linked into usr/bin. With no prefix given, `cmake --install` installs into "/" (that layout);
# give --prefix to install into a staging folder instead.

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX "/" CACHE PATH "Install root" FORCE)
endif()

set(CORVANEL_INSTALL_DIR "opt/corvanel")
set(CORVANEL_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS corvanel-convert RUNTIME DESTINATION ${CORVANEL_INSTALL_DIR})
if(TARGET corvanel)
    install(TARGETS corvanel RUNTIME DESTINATION ${CORVANEL_INSTALL_DIR})
    install(FILES ${CORVANEL_RESOURCE_DIR}/HAND-M.CUR ${CORVANEL_RESOURCE_DIR}/drag.ico
            DESTINATION ${CORVANEL_INSTALL_DIR} OPTIONAL)
    install(DIRECTORY ${CORVANEL_RESOURCE_DIR}/Samples DESTINATION ${CORVANEL_INSTALL_DIR}
            OPTIONAL)
    install(FILES ${CORVANEL_PACKAGING_DIR}/corvanel.desktop DESTINATION usr/share/applications)
    foreach(size 16 32 48 64 128 256)
        set(icon ${CORVANEL_RESOURCE_DIR}/icons/corvanel-${size}.png)
        if(EXISTS ${icon})
            install(FILES ${icon} DESTINATION usr/share/icons/hicolor/${size}x${size}/apps
                    RENAME corvanel.png)
        endif()
    endforeach()
endif()
install(FILES ${CORVANEL_PACKAGING_DIR}/corvanel-convert.1 DESTINATION usr/share/man/man1)

# Relative links, so they stay right under any staging root (DESTDIR, CPack).
install(CODE [[
    set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    file(MAKE_DIRECTORY "${root}/usr/bin")
    foreach(program corvanel corvanel-convert)
        if(EXISTS "${root}/opt/corvanel/${program}")
            file(CREATE_LINK "../../opt/corvanel/${program}" "${root}/usr/bin/${program}" SYMBOLIC)
        endif()
    endforeach()
]])

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "corvanel")
set(CPACK_PACKAGE_VENDOR "Brindlewood")
set(CPACK_PACKAGE_CONTACT "Brindlewood <support@brindlewood.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turns batches of word-processing documents into plain text")
set(CPACK_PACKAGE_DESCRIPTION
    "Corvanel converts many DOCX, DOC, RTF, ODT, HTML and text documents at once into plain-text\n"
    "files, one per document, with its own converter: no office suite is needed. It comes with a\n"
    "desktop window and the command-line converter corvanel-convert.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "text")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # runtime libraries only, found by dpkg-shlibdeps
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
