# What `cmake --install` puts under its prefix, laid out as a Debian desktop
# expects: the programs in bin/, the library with its SONAME in lib/, the
# published header and a pkg-config file for other clients, the man pages,
# and a menu entry with an icon for the wizard.
include(GNUInstallDirs)

# The library's SONAME follows the major version: a client built against
# 0.x loads libLumoAccess.so.0. LumoPlatform is private to the suite (no
# header is installed) and gets no development link.
foreach(library LumoAccess LumoPlatform)
  set_target_properties(${library} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
endforeach()

# Installed programs find the libraries in the library folder, wherever the
# prefix is (a temporary root, /usr/local, a package's /usr).
file(RELATIVE_PATH lumo_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set(lumo_programs lumo)
if(TARGET LumoExport)
  list(APPEND lumo_programs LumoExport)
endif()
if(TARGET LumoAddressBook)
  list(APPEND lumo_programs LumoAddressBook)
endif()
set_target_properties(${lumo_programs} PROPERTIES INSTALL_RPATH "$ORIGIN/${lumo_bin_to_lib}")

install(TARGETS ${lumo_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS LumoAccess LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS LumoPlatform LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_SKIP)
install(FILES ${PROJECT_SOURCE_DIR}/access/LumoAccess.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/lumo)

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
install(FILES ${PROJECT_BINARY_DIR}/lumoaccess.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# Man pages, written at build time from the programs' own --help text.
set(lumo_summary_lumo "creates, imports, queries and exports the databases of the Lumo suite")
set(lumo_summary_LumoAddressBook "keeps the address book of the Lumo suite (住所録)")
set(lumo_summary_LumoExport "exports the address book or the goods ledger of the Lumo suite as a CSV file")
set(lumo_man_pages)
foreach(program ${lumo_programs})
  set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
  add_custom_command(
    OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${program}> -DNAME=${program} "-DSUMMARY=${lumo_summary_${program}}"
            -DVERSION=${PROJECT_VERSION} -DOUTPUT=${page} -P ${CMAKE_CURRENT_LIST_DIR}/ManPage.cmake
    DEPENDS ${program} ${CMAKE_CURRENT_LIST_DIR}/ManPage.cmake
    COMMENT "Writing the man page of ${program}"
    VERBATIM)
  list(APPEND lumo_man_pages ${page})
endforeach()
add_custom_target(lumo_man_pages ALL DEPENDS ${lumo_man_pages})
install(FILES ${lumo_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(TARGET LumoExport)
  install(FILES ${PROJECT_SOURCE_DIR}/export/wizard/desktop/lumo-export.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/export/wizard/desktop/lumo-export.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

if(TARGET LumoAddressBook)
  install(FILES ${PROJECT_SOURCE_DIR}/addressbook/desktop/lumo-addressbook.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/addressbook/desktop/lumo-addressbook.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
