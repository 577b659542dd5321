# How CMake builds for WASI (cmake/wasi.cmake): programs are .wasm modules.
set(CMAKE_EXECUTABLE_SUFFIX .wasm)
# A browser cannot block on input, so every program is linked and then
# asyncified around fd_read: the page's host unwinds the stack while it waits
# for the player's line and rewinds it when the line comes. The program's own
# code knows nothing of it. -Oz after asyncify wins back most of its size.
set(CMAKE_CXX_LINK_EXECUTABLE
    "<CMAKE_CXX_COMPILER> <FLAGS> <CMAKE_CXX_LINK_FLAGS> <LINK_FLAGS> <OBJECTS> -o <TARGET> <LINK_LIBRARIES>"
    "wasm-opt -Oz --strip-debug --asyncify --pass-arg=asyncify-imports@wasi_snapshot_preview1.fd_read <TARGET> -o <TARGET>")
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-Oz -DNDEBUG")  # a page is weighed in bytes
