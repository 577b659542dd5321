# How CMake builds for WASI (cmake/wasi.cmake): programs are .wasm modules.
set(CMAKE_EXECUTABLE_SUFFIX .wasm)
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-Oz -DNDEBUG")  # a page is weighed in bytes
# A browser cannot block on input, so every program is asyncified around
# fd_read: the page's host unwinds the stack while it waits for the player's
# line and rewinds it when the line comes. The program's own code knows
# nothing of it.
#
# Only the functions that can be on the stack at a read are instrumented,
# which keeps the module near its size without asyncify. Every program built
# here reads through std::istream (its extractors, ignore and get), from which
# the read runs on through virtual calls (a stream buffer's underflow, the
# number facet's do_get) and the C library's read function pointer, which
# asyncify-ignore-indirect hides from the analysis; so every function on that
# road from _start to getc's __uflow is named in WASI-asyncify.txt (comma-
# separated, * a wildcard); the analysis finds the rest, the C library's read
# down to fd_read. Under Node the tests hand the input over a byte at a time
# (tests/wasi_run.mjs), so a program waits at every read it makes, and a
# function missing here fails them. The names come from the linked module's
# name section, so the link must not optimise: clang would then run wasm-opt,
# which drops them. -Oz comes after asyncify, to shrink what it added.
set(CMAKE_CXX_LINK_EXECUTABLE
    "<CMAKE_CXX_COMPILER> <FLAGS> -O0 <CMAKE_CXX_LINK_FLAGS> <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>"
    "wasm-opt --asyncify --pass-arg=asyncify-imports@wasi_snapshot_preview1.fd_read --pass-arg=asyncify-ignore-indirect --pass-arg=asyncify-addlist@@${CMAKE_CURRENT_LIST_DIR}/WASI-asyncify.txt -Oz --strip-debug <TARGET> -o <TARGET>")
