# Run by CPack on the staging tree before it is packed: Debian wants manual
# pages compressed, and a copyright file and a changelog in the package's doc
# folder. A plain `cmake --install` keeps the page as it is and adds neither.
#
# It also makes the package reproducible: CPack stamps every file with
# SOURCE_DATE_EPOCH when it is set, so unless the caller has set it, it is
# set here, for this CPack run, to the release's own time: the date of the
# top entry of the changelog, which a git checkout and an unpacked source
# tarball agree on.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/changelog" signature REGEX "^ -- .*>  " LIMIT_COUNT 1)
  string(REGEX REPLACE "^ -- .*>  " "" released "${signature}")
  execute_process(COMMAND date -d "${released}" +%s OUTPUT_VARIABLE released_at
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(ENV{SOURCE_DATE_EPOCH} "${released_at}")
endif()
set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(doc "${root}/share/doc/${CPACK_PACKAGE_NAME}")

execute_process(COMMAND gzip -9nf "${root}/share/man/man1/tipsrad.1" COMMAND_ERROR_IS_FATAL ANY)
file(MAKE_DIRECTORY "${doc}")
file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/copyright" "${doc}/copyright")
file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/changelog" "${doc}/changelog")
execute_process(COMMAND gzip -9nf "${doc}/changelog" COMMAND_ERROR_IS_FATAL ANY)
# Modes as Debian wants them, whatever the umask the tree was made under.
file(CHMOD_RECURSE "${CPACK_TEMPORARY_DIRECTORY}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE
     OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(CHMOD_RECURSE "${doc}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
