# The Debian package of what cmake/Install.cmake installs, built by
# `cpack -G DEB` (scripts/package). Its dependencies are read from the
# shared libraries the programs use (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lumo")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Japanese personal database suite: address book, goods ledger, scrap book")
set(CPACK_PACKAGE_DESCRIPTION
  "The lumo command creates, imports, queries and exports the suite's databases; LumoExport is the export wizard; libLumoAccess.so is the data-access library for other programs.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Lumo developers <lumo@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# As Debian ships programs: without their debugging symbols.
set(CPACK_STRIP_FILES ON)
# The suite's own libraries lie beside each other in the package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/bin)
# The wizard's captions need a Japanese font; Qt's own buttons read in
# Japanese with its translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
