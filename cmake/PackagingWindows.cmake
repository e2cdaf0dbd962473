# Install layout on Windows: one folder holding the programs and their companions, as the
# programs look for them beside themselves. scripts/package-windows installs into a staging
# folder, adds Qt's DLLs and makes the zip and the installer from it.
install(TARGETS corvanel-convert RUNTIME DESTINATION .)
if(TARGET corvanel-server)
    install(TARGETS corvanel-server RUNTIME DESTINATION .)
endif()
install(TARGETS corvanel-revenge LIBRARY DESTINATION . RUNTIME DESTINATION .)
if(TARGET corvanel)
    install(TARGETS corvanel RUNTIME DESTINATION .)
    install(FILES ${CORVANEL_RESOURCE_DIR}/HAND-M.CUR ${CORVANEL_RESOURCE_DIR}/drag.ico
            DESTINATION .)
    install(DIRECTORY ${CORVANEL_RESOURCE_DIR}/Samples DESTINATION .)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION . RENAME copyright.txt)
# libcorvanel for C and C++ programs: corvanel.dll and the worker program its batches start
# beside the programs (the folder the installer puts on the PATH), the header, the import library
# (libcorvanel.dll.a) and the module definition (corvanel.def, for MSVC's lib /def) under include/
# and lib/, and the example.
if(TARGET libcorvanel)
    install(TARGETS libcorvanel RUNTIME DESTINATION . ARCHIVE DESTINATION lib)
    install(TARGETS corvanel-worker RUNTIME DESTINATION .)
    install(FILES ${PROJECT_SOURCE_DIR}/src/lib/include/corvanel/corvanel.h
            DESTINATION include/corvanel)
    install(FILES ${PROJECT_BINARY_DIR}/lib/corvanel.def DESTINATION lib)
    install(FILES ${PROJECT_SOURCE_DIR}/examples/corvanel-text.c DESTINATION examples)
endif()
