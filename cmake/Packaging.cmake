# `cmake --install`: the program in bin/, its files (the demo network, the help, the pointer
# file) in share/zdschema, where the program looks when they are not beside it; the menu
# entry and its icon. `cpack -G DEB` makes a Debian 12 package of the same tree.
include(GNUInstallDirs)
install(TARGETS zdschema RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/ZdShort.mdb ${ZD_BESIDE_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/zdschema)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/zdschema.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/zdschema.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_PACKAGE_NAME zdschema)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGE_CONTACT "zdschema <zdschema@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Схема ж.д. сети СНГ: просмотр схемы железнодорожной сети")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The libraries' packages from the program's own links, and the Qt platform plugins the
# window needs to open on X11.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
