# The one time a release is stamped with, in seconds since the epoch:
# SOURCE_DATE_EPOCH when the caller sets it, else the date of the changelog's
# top entry. Included, it sets `release_epoch`, and `release_month` for the
# manual ("December 2026"); run with `cmake -P`, it prints the epoch.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/changelog" signature REGEX "^ -- .*>  " LIMIT_COUNT 1)
  string(REGEX REPLACE "^ -- .*>  " "" released "${signature}")
  execute_process(COMMAND date -d "${released}" +%s OUTPUT_VARIABLE epoch
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")  # which string(TIMESTAMP) reads
endif()
set(release_epoch "$ENV{SOURCE_DATE_EPOCH}")
string(TIMESTAMP release_month "%B %Y" UTC)
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  message("${release_epoch}")
endif()
