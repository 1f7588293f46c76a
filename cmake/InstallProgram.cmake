# How a program of the suite joins the `lumo` package (and `cmake --install`):
#
#   lumo_install_program(LumoAddressBook
#     SUMMARY "keeps the address book of the Lumo suite"   # the man page's NAME line
#     [DESKTOP path/to/lumo-addressbook.desktop]            # its menu entry
#     [ICON path/to/lumo-addressbook.svg])                  # the entry's icon (scalable)
#
# called once after add_executable, in the program's own CMakeLists.txt. It
# installs the program into bin/ with a run path to the suite's library
# folder, its man page (written at build time from `PROGRAM --help`, see
# ManPage.cmake, and compressed as Debian ships them), and the menu entry
# with its icon, all in the Programs component (the `lumo` package,
# cmake/Package.cmake). Nothing else is needed: the package test checks
# every program it finds in the package for a man page.
include_guard(GLOBAL)
include(GNUInstallDirs)

# The components, one per Debian package (cmake/Package.cmake names them).
set(LUMO_COMPONENT_LIBRARY Library)          # liblumoaccess0
set(LUMO_COMPONENT_DEVELOPMENT Development)  # liblumoaccess-dev
set(LUMO_COMPONENT_PROGRAMS Programs)        # lumo
set(LUMO_COMPONENT_PYTHON Python)            # python3-lumoaccess

find_program(LUMO_GZIP gzip REQUIRED)

function(lumo_install_program target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "SUMMARY;DESKTOP;ICON" "")
  if(NOT arg_SUMMARY OR arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "lumo_install_program(${target} SUMMARY \"...\" [DESKTOP file] [ICON file])")
  endif()

  # Installed programs find libLumoAccess.so in the library folder and the
  # suite's private libraries in its lumo-private folder, wherever the prefix is (a
  # temporary root, /usr/local, ~/.local); the package keeps only the second,
  # since /usr/lib is searched anyway (cmake/PackageRunPaths.cmake).
  file(RELATIVE_PATH to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${to_lib};$ORIGIN/${to_lib}/lumo-private")
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${LUMO_COMPONENT_PROGRAMS})

  # gzip -n: no name or time stamp, so that the page is the same on every build.
  set(page ${PROJECT_BINARY_DIR}/man/${target}.1)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${target}> -DNAME=${target} "-DSUMMARY=${arg_SUMMARY}"
            -DVERSION=${PROJECT_VERSION} -DOUTPUT=${page} -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
    COMMAND ${LUMO_GZIP} -9nf ${page}
    DEPENDS ${target} ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
    COMMENT "Writing the man page of ${target}"
    VERBATIM)
  add_custom_target(${target}_man_page ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${LUMO_COMPONENT_PROGRAMS})

  if(arg_DESKTOP)
    install(FILES ${arg_DESKTOP} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT ${LUMO_COMPONENT_PROGRAMS})
  endif()
  if(arg_ICON)
    install(FILES ${arg_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
            COMPONENT ${LUMO_COMPONENT_PROGRAMS})
  endif()
endfunction()
