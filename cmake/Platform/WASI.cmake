# How CMake builds for WASI (cmake/wasm32.cmake): programs are .wasm modules.
set(CMAKE_EXECUTABLE_SUFFIX .wasm)
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-Oz -DNDEBUG")  # a page is weighed in bytes
# A browser cannot block on input, so every program is asyncified around
# fd_read: the page's host unwinds the stack while it waits for the player's
# line and rewinds it when the line comes; the program knows nothing of it.
#
# Only the functions that can be on the stack at a read are instrumented, which
# keeps the module near its unasyncified size. The road from _start to getc's
# __uflow runs through virtual calls and the C library's read pointer, which
# asyncify-ignore-indirect hides, so WASI-asyncify.txt names every function on
# it (* a wildcard); the analysis finds the rest. The tests under Node hand the
# input over a byte at a time (tests/wasi_run.mjs), so a name missing there
# fails them. The names come from the module's name section, which clang's own
# wasm-opt run would drop, so the link does not optimise; -Oz follows asyncify.
string(JOIN " " link <CMAKE_CXX_COMPILER> <FLAGS> -O0 <CMAKE_CXX_LINK_FLAGS> <LINK_FLAGS>
       <OBJECTS> -o <TARGET> <LINK_LIBRARIES>)
string(JOIN " " optimise wasm-opt --asyncify
       --pass-arg=asyncify-imports@wasi_snapshot_preview1.fd_read
       --pass-arg=asyncify-ignore-indirect
       --pass-arg=asyncify-addlist@@${CMAKE_CURRENT_LIST_DIR}/WASI-asyncify.txt
       -Oz --strip-debug <TARGET> -o <TARGET>)
set(CMAKE_CXX_LINK_EXECUTABLE "${link}" "${optimise}")
