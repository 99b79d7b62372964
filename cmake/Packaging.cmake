# Installation as a desktop program and the Debian package built from it.
# Installing needs only the two programs, not the tests and benchmarks that
# "all" also builds: build kova and kova-export, then install or package.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(kova_packaging ${PROJECT_SOURCE_DIR}/packaging)

install(FILES ${kova_packaging}/kova.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${kova_packaging}/kova.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
install(FILES ${kova_packaging}/org.kova_project.kova.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${kova_packaging}/kova-export.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME kova-export)

# Debian keeps the copyright as it is and the changelog compressed, without a
# name or time stamp in the gzip header so the package builds the same twice.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${kova_packaging}/changelog)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging)
execute_process(COMMAND gzip -9nc ${kova_packaging}/changelog
  OUTPUT_FILE ${PROJECT_BINARY_DIR}/packaging/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${kova_packaging}/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME kova)
set(CPACK_PACKAGE_VENDOR "KOVA")
set(CPACK_PACKAGE_CONTACT "KOVA Maintainers <kova-maintainers@kova-project.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turns payment workbooks into a bank's upload files")
# Debian shows each line as it is: every one stays under 80 columns.
set(CPACK_PACKAGE_DESCRIPTION [[
KOVA maps the columns of a sheet (.xlsx, .xls, .ods or delimited text) to the
fields of Auto Transfer, Auto Credit, Auto Collection or Payroll, checks
every row, shows the bad cells in a log and writes the bank's upload file
only when no row has an error. kova-export runs the same exports without a
window, for scheduled batches, and checks any upload file before it is
sent.]])
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://kova-project.org/)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The register opens SQLite through Qt's driver plugin, loaded at run time,
# which no linker record names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5sql5-sqlite")
# dpkg-shlibdeps reads the libraries the programs link and declares their
# packages; without it (no dpkg-dev) the list below stands in.
find_program(KOVA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KOVA_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS
    ", libqt5widgets5, libqt5gui5, libqt5sql5, libqt5core5a, libzip4, libexpat1, libssl3, libxlsxwriter4")
endif()
include(CPack)
