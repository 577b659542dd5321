# Run by CPack on the staging tree before it is packed: Debian wants manual
# pages compressed, and a copyright file and a changelog in the package's doc
# folder. A plain `cmake --install` keeps the page as it is and adds neither.
#
# It also makes the package reproducible: CPack stamps every file with
# SOURCE_DATE_EPOCH when it is set, so it is set here, for this CPack run, to
# the release's own time.
include("${CMAKE_CURRENT_LIST_DIR}/release_date.cmake")
set(ENV{SOURCE_DATE_EPOCH} "${release_epoch}")
set(root "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(doc "${root}/share/doc/${CPACK_PACKAGE_NAME}")

execute_process(COMMAND gzip -9nf "${root}/share/man/man1/tipsrad.1" COMMAND_ERROR_IS_FATAL ANY)
file(MAKE_DIRECTORY "${doc}")
# The copyright file in Debian's format, its holder and terms read from LICENSE.
file(READ "${CMAKE_CURRENT_LIST_DIR}/../LICENSE" license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)\n\n(.*[^\n])" license "${license}")
set(holder "${CMAKE_MATCH_1}")
string(REPLACE "\n\n" "\n.\n" terms " ${CMAKE_MATCH_2}")
string(REPLACE "\n" "\n " terms "${terms}")
file(WRITE "${doc}/copyright" "\
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${CPACK_PACKAGE_NAME}
Upstream-Contact: ${CPACK_PACKAGE_CONTACT}

Files: *
Copyright: ${holder}
License: MIT

License: MIT
${terms}
")
file(COPY_FILE "${CMAKE_CURRENT_LIST_DIR}/changelog" "${doc}/changelog")
execute_process(COMMAND gzip -9nf "${doc}/changelog" COMMAND_ERROR_IS_FATAL ANY)
# Modes as Debian wants them, whatever the umask the tree was made under.
file(CHMOD_RECURSE "${CPACK_TEMPORARY_DIRECTORY}" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE
     OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(CHMOD_RECURSE "${doc}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
