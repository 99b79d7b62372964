# Installation as a desktop program and the Debian package built from it.
# Installing needs only the two programs, not the tests and benchmarks that
# "all" also builds: build kova and kova-export, then install or package.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/kova.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kova.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)

set(CPACK_PACKAGE_NAME kova)
set(CPACK_PACKAGE_VENDOR "KOVA")
set(CPACK_PACKAGE_CONTACT "KOVA maintainers <kova@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Turns payment workbooks into a bank's upload files")
set(CPACK_PACKAGE_DESCRIPTION
  "KOVA maps the columns of an .xlsx sheet to the fields of Auto Transfer, Auto Credit,\nAuto Collection or Payroll, checks every row and writes the bank's upload file.\nkova-export runs the same exports without a window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# dpkg-shlibdeps reads the libraries the programs link and declares their
# packages; without it (no dpkg-dev) the list below stands in.
find_program(KOVA_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KOVA_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5widgets5, libqt5gui5, libqt5core5a, libzip4, libexpat1")
endif()
include(CPack)
