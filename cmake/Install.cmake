# Install rules and the Debian package.
#
# `cmake --install BUILD` lays the programs out as Linux programs are installed: bin/, a menu
# entry, an icon and man pages. The component "home" (not part of a default install or of the
# package) puts the programs flat into one program directory instead, as ./run.sh uses it:
# `cmake --install BUILD --prefix DIR --component home`.
if(NOT TARGET vekrano)
  return()
endif()
include(GNUInstallDirs)

set(VEKRANO_PROGRAMS vekrano vekrano-sql)
set(VEKRANO_MAN_PAGES doc/vekrano.1 doc/vekrano-sql.1)
if(TARGET vekrano-labels)
  list(APPEND VEKRANO_PROGRAMS vekrano-labels)
  list(APPEND VEKRANO_MAN_PAGES doc/vekrano-labels.1)
endif()

install(TARGETS ${VEKRANO_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES data/vekrano.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/icons/hicolor/scalable/apps/vekrano.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${VEKRANO_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The user manual, where the program in bin/ looks for it: ../share/vekrano/help.
install(DIRECTORY doc/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vekrano/help)

install(TARGETS ${VEKRANO_PROGRAMS} RUNTIME DESTINATION . COMPONENT home EXCLUDE_FROM_ALL)
install(DIRECTORY doc/help/ DESTINATION help COMPONENT home EXCLUDE_FROM_ALL)

set(CPACK_PACKAGE_NAME vekrano)
set(CPACK_PACKAGE_VENDOR "Vekrano")
set(CPACK_PACKAGE_CONTACT "Vekrano maintainers <maintainers@users.noreply.c-seed-d481347b.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Code 39 barcode label printing")
set(CPACK_PACKAGE_DESCRIPTION
    "Vekrano keeps a list of barcode records, narrows and orders it, imports records from CSV\n\
files and prints them as Code 39 labels on twelve kinds of label sheets, to a printer or a\n\
PDF file. It comes with vekrano-sql, an SQL shell over the same record table.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY vekrano)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The Qt and zlib packages come from the libraries the programs link (dpkg-shlibdeps); the
# fonts are the metric-compatible ones the label layouts are measured with; Qt's translations
# put its own buttons and dialogs into French, Portuguese and Spanish.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-translations-l10n")
# glabels-data brings the vendors' catalog of label sheets offered after the built-in types.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-qpa-plugins, glabels-data")
include(CPack)
