# WebAssembly: a WASI preview-1 command for any WASI runtime (Node, wasmtime,
# the page in web/), by Debian's clang 14 and binaryen's wasm-opt, run here
# under Node through the page's own host.
set(CMAKE_SYSTEM_NAME WASI)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CROSSCOMPILING_EMULATOR node ${CMAKE_CURRENT_LIST_DIR}/../tests/wasi_run.mjs)
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})  # Platform/WASI.cmake
set(CMAKE_CXX_FLAGS_INIT -fno-exceptions)  # the runtime has no exceptions
