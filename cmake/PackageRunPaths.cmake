# Run by CPack after it installed the components into its staging folder
# (CPACK_PRE_BUILD_SCRIPTS): trims the run paths of the installed programs
# and libraries to the suite's private folder. Installed under /usr, they
# find libLumoAccess.so.0 in /usr/lib, which the loader searches; what is
# left points from a file to the lumo-private folder of the library folder
# (relative to $ORIGIN, which lintian's custom-library-search-path allows),
# and a file that needs no private library carries no run path.
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
    # READ_ELF leaves a variable as it was when the file has no such entry.
    unset(runpath)
    unset(rpath)
    file(READ_ELF "${file}" RUNPATH runpath RPATH rpath)
    set(kept)
    foreach(entry IN LISTS runpath rpath)
      string(REPLACE ":" ";" entry "${entry}")
      foreach(folder IN LISTS entry)
        # $ORIGIN itself: the engine finds the platform beside it.
        # (Run by CPack as a script, where IN_LIST is not known.)
        list(FIND kept "${folder}" known)
        if((folder MATCHES "/lumo-private$" OR folder STREQUAL "$ORIGIN") AND known EQUAL -1)
          list(APPEND kept "${folder}")
        endif()
      endforeach()
    endforeach()
    if(kept)
      list(JOIN kept ":" kept)
      file(RPATH_SET FILE "${file}" NEW_RPATH "${kept}")
    else()
      file(RPATH_REMOVE FILE "${file}")
    endif()
  endif()
endforeach()
