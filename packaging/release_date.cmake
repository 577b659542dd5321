# The one time a release and its packages are stamped with, in seconds since
# the epoch: SOURCE_DATE_EPOCH when the caller sets it, else the date of the
# top entry of the changelog, which a git checkout and an unpacked source
# tarball agree on. Included, it sets `release_epoch`, and `release_month`
# for the manual ("December 2026"); run with `cmake -P`, it prints the epoch.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(release_epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/changelog" signature REGEX "^ -- .*>  " LIMIT_COUNT 1)
  string(REGEX REPLACE "^ -- .*>  " "" released "${signature}")
  execute_process(COMMAND date -d "${released}" +%s OUTPUT_VARIABLE release_epoch
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C date -u -d "@${release_epoch}" "+%B %Y"
                OUTPUT_VARIABLE release_month OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  message("${release_epoch}")
endif()
