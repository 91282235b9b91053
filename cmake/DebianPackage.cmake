# The Debian package (cmake --build build --target package): the program and its
# ping stand-in in /usr/lib/vantrel with the help file and the lights (the program
# finds its companions in its own folder), /usr/bin/vantrel pointing there, the
# desktop entry, the .VTR file type with its icon, and the manual page.

include(GNUInstallDirs)
set(_libexec ${CMAKE_INSTALL_LIBDIR}/vantrel)
set(_packaging ${PROJECT_SOURCE_DIR}/packaging/linux)

install(TARGETS vantrel vantrel-ping RUNTIME DESTINATION ${_libexec})
install(FILES ${VANTREL_COMPANIONS} DESTINATION ${_libexec})
file(CREATE_LINK ../lib/vantrel/vantrel ${CMAKE_BINARY_DIR}/vantrel-link SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/vantrel-link DESTINATION ${CMAKE_INSTALL_BINDIR}
        RENAME vantrel)
install(FILES ${_packaging}/vantrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_packaging}/vantrel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME vantrel.xml)
install(FILES ${PROJECT_SOURCE_DIR}/resources/vantrel.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
install(FILES ${PROJECT_SOURCE_DIR}/resources/vantrel.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/mimetypes
        RENAME application-x-vantrel-deploiement.png)

configure_file(${_packaging}/vantrel.1 ${CMAKE_BINARY_DIR}/vantrel.1 @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/vantrel.1.gz
    COMMAND gzip -9nf -k ${CMAKE_BINARY_DIR}/vantrel.1
    DEPENDS ${CMAKE_BINARY_DIR}/vantrel.1 VERBATIM)
add_custom_target(manual ALL DEPENDS ${CMAKE_BINARY_DIR}/vantrel.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/vantrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Équipe Vantrel <vantrel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "télédéploiement de fichiers vers les postes d'un réseau Windows")
set(CPACK_PACKAGE_DESCRIPTION
    "Copie des fichiers sur les postes qui répondent au ping, en gardant sur chaque poste la\n\
version remplacée sous un nom daté ; tableau d'état à feux, journal par passe, reprises,\n\
départ différé, passes sans fenêtre pour cron et systemd.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The ping stand-in runs the system's ping; the file type and the desktop entry are
# registered by the triggers of shared-mime-info and desktop-file-utils.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "iputils-ping, shared-mime-info, desktop-file-utils")
# A Kerberos bind to the directory: the SASL GSSAPI plugin, and kinit for the ticket.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "xdg-utils, qt6-translations-l10n, libsasl2-modules-gssapi-mit, krb5-user")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
