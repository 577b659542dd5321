# Writes the installed page's service worker (web/sw.js) with the list of
# every other file in the page's folder and a cache named for their content,
# so that any change to any of them, whatever the version, reaches a
# returning browser. Run by `cmake --install` last, or on a page's folder:
#   cmake -DPAGE=FOLDER -P cmake/page_cache.cmake
if(NOT DEFINED PAGE)
  set(PAGE "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
endif()
get_filename_component(PAGE "${PAGE}" ABSOLUTE)
file(GLOB files LIST_DIRECTORIES false RELATIVE "${PAGE}" "${PAGE}/*")
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(contents "")
foreach(file IN LISTS files)
  file(SHA256 "${PAGE}/${file}" hash)
  string(APPEND contents "${hash}  ${file}\n")
endforeach()
string(SHA256 hash "${contents}")
string(SUBSTRING "${hash}" 0 16 hash)
set(PAGE_CACHE "tipsrad-${hash}")
list(JOIN files "\",\n  \"" PAGE_FILES)
configure_file("${CMAKE_CURRENT_LIST_DIR}/../web/sw.js" "${PAGE}/sw.js" @ONLY)
