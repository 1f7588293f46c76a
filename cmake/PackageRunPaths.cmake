# Run by CPack after it installed the components into its staging folder
# (CPACK_PRE_BUILD_SCRIPTS): removes the run paths of the installed
# programs and libraries. Installed under /usr, they find each other in
# /usr/lib, which the loader searches; Debian's packages carry no run path
# of their own (lintian: custom-library-search-path).
set(staging "${CPACK_TEMPORARY_DIRECTORY}")
if(NOT IS_DIRECTORY "${staging}")
  message(FATAL_ERROR "PackageRunPaths.cmake: CPack names no staging folder")
endif()
file(GLOB_RECURSE files LIST_DIRECTORIES false "${staging}/*")
foreach(file ${files})
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  if(file MATCHES "/bin/[^/]+$" OR file MATCHES "/lib[^/]*\\.so(\\.[0-9]+)*$" OR file MATCHES "/dist-packages/[^/]+\\.so$")
    file(RPATH_REMOVE FILE "${file}")
  endif()
endforeach()
