# Prints the command that a toolchain file runs its platform's programs under:
#   cmake -DCMAKE_TOOLCHAIN_FILE=FILE -P cmake/emulator.cmake
include(${CMAKE_TOOLCHAIN_FILE})
execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${CMAKE_CROSSCOMPILING_EMULATOR})
