# What `cmake --install` puts under its prefix, laid out as a Debian desktop
# expects, in one component per Debian package (cmake/Package.cmake):
#   Library      liblumoaccess0      libLumoAccess.so.0 in the library folder, with the
#                                    suite's private libLumoPlatform.so.0 and
#                                    libLumoEngine.so.0 in its lumo-private folder
#   Development  liblumoaccess-dev   the header LumoAccess.h, the libLumoAccess.so
#                                    link and lumoaccess.pc
#   Programs     lumo                the programs (lumo_install_program,
#                                    cmake/InstallProgram.cmake) with their man
#                                    pages and menu entries, docs/csv.md and docs/sql.md
#   Python       python3-lumoaccess  the lumoaccess module
# Each package's folder in share/doc holds its copyright file and changelog.
include(${CMAKE_CURRENT_LIST_DIR}/InstallProgram.cmake)

# The library's SONAME follows the major version: a client built against
# 0.x loads libLumoAccess.so.0. LumoPlatform and LumoEngine are private to
# the suite (no header is installed, no development link): they lie in the
# lumo-private folder of the library folder, out of the loader's search, and
# libLumoAccess.so and the programs find them through their run paths. They
# stay shared libraries, so that the process-wide state (the message sink,
# the fault switch) exists once in a program that uses the engine itself
# and loads libLumoAccess.so too.
foreach(library LumoAccess LumoPlatform LumoEngine)
  set_target_properties(${library} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
endforeach()

# The programs of the suite; a new one calls lumo_install_program in its
# own CMakeLists.txt.
lumo_install_program(lumo SUMMARY "creates, imports, queries and exports the databases of the Lumo suite")
if(TARGET LumoExport)
  lumo_install_program(LumoExport
    SUMMARY "exports the address book or the goods ledger of the Lumo suite as a CSV file"
    DESKTOP ${PROJECT_SOURCE_DIR}/export/wizard/desktop/lumo-export.desktop
    ICON ${PROJECT_SOURCE_DIR}/export/wizard/desktop/lumo-export.svg)
endif()

install(TARGETS LumoAccess LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        COMPONENT ${LUMO_COMPONENT_LIBRARY} NAMELINK_COMPONENT ${LUMO_COMPONENT_DEVELOPMENT})
set(LUMO_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/lumo-private)
install(TARGETS LumoPlatform LumoEngine LIBRARY DESTINATION ${LUMO_PRIVATE_LIBDIR}
        COMPONENT ${LUMO_COMPONENT_LIBRARY} NAMELINK_SKIP)
install(FILES ${PROJECT_SOURCE_DIR}/access/LumoAccess.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lumo
        COMPONENT ${LUMO_COMPONENT_DEVELOPMENT})

# Clients load the library at run time (dlopen) and link nothing of it; the
# file says where the header is and which file to load.
# Its paths are relative to where it lies, so that it holds for whatever
# prefix `cmake --install --prefix` or a package chooses.
set(LUMO_ACCESS_SONAME libLumoAccess.so.${PROJECT_VERSION_MAJOR})
file(RELATIVE_PATH LUMO_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" LUMO_PC_TO_PREFIX "${LUMO_PC_TO_PREFIX}")
set(LUMO_DL_LIBS)
foreach(lib ${CMAKE_DL_LIBS})
  string(APPEND LUMO_DL_LIBS " -l${lib}")
endforeach()
string(STRIP "${LUMO_DL_LIBS}" LUMO_DL_LIBS)
configure_file(${CMAKE_CURRENT_LIST_DIR}/lumoaccess.pc.in ${PROJECT_BINARY_DIR}/lumoaccess.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/lumoaccess.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT ${LUMO_COMPONENT_DEVELOPMENT})

# The Python module, where Debian's python3 looks for modules of packages.
# It loads the library by its SONAME (or from beside itself, after pip) and
# links nothing of the suite, so it needs no run path.
if(TARGET lumoaccess)
  set_target_properties(lumoaccess PROPERTIES INSTALL_RPATH "")
  install(TARGETS lumoaccess LIBRARY DESTINATION lib/python3/dist-packages COMPONENT ${LUMO_COMPONENT_PYTHON})
endif()

# The documents that `lumo --help` and the man pages name, beside the
# programs' package's changelog.
set(LUMO_DOC_FOLDER ${CMAKE_INSTALL_DATADIR}/doc)
install(FILES ${PROJECT_SOURCE_DIR}/docs/csv.md ${PROJECT_SOURCE_DIR}/docs/sql.md
        DESTINATION ${LUMO_DOC_FOLDER}/lumo COMPONENT ${LUMO_COMPONENT_PROGRAMS})

# Every package's copyright file and changelog (Debian's policy 12.5 and
# 12.7). The version has no Debian revision, so the changelog of this
# native package is changelog.gz; gzip -n keeps it the same on every build.
include(${CMAKE_CURRENT_LIST_DIR}/PackageNames.cmake)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.gz
  COMMAND ${LUMO_GZIP} -9nkf ${PROJECT_BINARY_DIR}/debian/changelog
  DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog
  VERBATIM)
add_custom_target(lumo_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.gz)
foreach(component ${LUMO_COMPONENT_LIBRARY} ${LUMO_COMPONENT_DEVELOPMENT} ${LUMO_COMPONENT_PROGRAMS} ${LUMO_COMPONENT_PYTHON})
  if(component STREQUAL LUMO_COMPONENT_PYTHON AND NOT TARGET lumoaccess)
    continue()
  endif()
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
          DESTINATION ${LUMO_DOC_FOLDER}/${LUMO_PACKAGE_${component}} COMPONENT ${component})
endforeach()
