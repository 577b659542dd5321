# Run by CPack on the staging tree before it is packed: Debian wants manual
# pages compressed, and a copyright file and a changelog in the package's doc
# folder. A plain `cmake --install` keeps the page as it is and adds neither.
#
# It also makes the package reproducible: CPack stamps every file with
# SOURCE_DATE_EPOCH when it is set, so unless the caller has set it, it is
# set here, for this CPack run, to the time of the last commit.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C "${CMAKE_CURRENT_LIST_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(commit_time)
    set(ENV{SOURCE_DATE_EPOCH} "${commit_time}")
  endif()
endif()
set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(doc "${root}/share/doc/${CPACK_PACKAGE_NAME}")

execute_process(COMMAND gzip -9nf "${root}/share/man/man1/tipsrad.1" COMMAND_ERROR_IS_FATAL ANY)
file(MAKE_DIRECTORY "${doc}")
file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/copyright" "${doc}/copyright")
file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/changelog" "${doc}/changelog")
execute_process(COMMAND gzip -9nf "${doc}/changelog" COMMAND_ERROR_IS_FATAL ANY)
file(CHMOD_RECURSE "${doc}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
     DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
     WORLD_READ WORLD_EXECUTE)
