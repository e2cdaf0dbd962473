# Install layout on Windows: one folder holding the programs and their companions, as the
# programs look for them beside themselves. scripts/package-windows installs into a staging
# folder, adds Qt's DLLs and makes the zip and the installer from it.
install(TARGETS corvanel-convert RUNTIME DESTINATION .)
install(TARGETS corvanel-revenge LIBRARY DESTINATION . RUNTIME DESTINATION .)
if(TARGET corvanel)
    install(TARGETS corvanel RUNTIME DESTINATION .)
    install(FILES ${CORVANEL_RESOURCE_DIR}/HAND-M.CUR ${CORVANEL_RESOURCE_DIR}/drag.ico
            DESTINATION .)
    install(DIRECTORY ${CORVANEL_RESOURCE_DIR}/Samples DESTINATION .)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION . RENAME copyright.txt)
