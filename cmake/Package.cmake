# The Debian packages of what cmake/Install.cmake installs, one per install
# component, built by `cpack -G DEB` (scripts/package):
#   liblumoaccess0, liblumoaccess-dev, lumo, python3-lumoaccess
# Their dependencies on other packages are read from the shared libraries
# they use (dpkg-shlibdeps); those on each other are written here, since
# the programs and the module load the library at run time (dlopen).
include(${CMAKE_CURRENT_LIST_DIR}/PackageNames.cmake)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_PACKAGE_NAME lumo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lumo")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LUMO_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# As Debian ships programs: without their debugging symbols.
set(CPACK_STRIP_FILES ON)
# The suite's own libraries in the build tree: the library beside the
# programs, the platform and engine in its private folder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/bin ${PROJECT_BINARY_DIR}/bin/lumo-private)
# The installed files' run paths point at the prefix's library folder;
# in /usr/lib the loader finds the libraries without them.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageRunPaths.cmake)

set(same "(= ${PROJECT_VERSION})")
set(library ${LUMO_PACKAGE_Library})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME ${library})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
# The shlibs file tells other packages' dpkg-shlibdeps which package holds
# the library; ldconfig runs once per dpkg run through its trigger.
# (Only the library package holds libraries with a SONAME.)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION
  "data-access library of the Lumo suite
libLumoAccess.so reads and writes the databases of the Lumo suite, a
Japanese personal database suite (address book, goods ledger, scrap
book). Programs load it at run time and create its objects by class name.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${LUMO_PACKAGE_Development})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${library} ${same}")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
  "data-access library of the Lumo suite - development files
The header LumoAccess.h, the pkg-config file lumoaccess.pc and the
libLumoAccess.so link, for programs that use the data-access library of
the Lumo suite (C++20).")

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME ${LUMO_PACKAGE_Programs})
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS "${library} ${same}")
# The wizard's captions need a Japanese font; Qt's own buttons read in
# Japanese with its translations.
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic, qt6-translations-l10n")
# 住所録 takes its postal codes from SKK's dictionary until Japan Post's
# file is imported (lumo postal import).
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SUGGESTS "skkdic-extra")
set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION
  "Japanese personal database suite: address book, goods ledger, scrap book
The lumo command creates, imports, queries and exports the databases of
the Lumo suite; LumoExport is its export wizard.")

set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME ${LUMO_PACKAGE_Python})
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "${library} ${same}, python3")
set(CPACK_COMPONENT_PYTHON_DESCRIPTION
  "data-access library of the Lumo suite - Python 3 module
The lumoaccess module gives Python programs the classes of the data-access
library of the Lumo suite, with its reports as warnings.")

set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
