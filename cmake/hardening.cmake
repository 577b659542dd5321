# Hardening, where the toolchain has it, before the caller's own flags (from
# CXXFLAGS and LDFLAGS), so that a packager's choice, given later, wins. None
# for WebAssembly: its sandbox keeps return addresses out of the memory a
# program writes, and its C library has no stack protector to link.
if(CMAKE_SYSTEM_NAME STREQUAL "WASI")
  return()
endif()
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)
include(CheckPIESupported)
if(NOT DEFINED CMAKE_POSITION_INDEPENDENT_CODE)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
check_pie_supported(LANGUAGES CXX)
set(hardening_flags -fstack-protector-strong -fcf-protection)
# Windows probes the stack itself, and MinGW's compiler crashes on this flag.
if(NOT WIN32)
  list(APPEND hardening_flags -fstack-clash-protection)
endif()
set(hardening "")
foreach(flag ${hardening_flags})
  string(MAKE_C_IDENTIFIER "have${flag}" have)
  check_cxx_compiler_flag(${flag} ${have})
  if(${have})
    string(APPEND hardening " ${flag}")
  endif()
endforeach()
# _FORTIFY_SOURCE only works when optimising, and a second definition of it
# would only warn, so it is left alone when the caller's flags name it.
string(TOUPPER "${CMAKE_BUILD_TYPE}" config)
set(given "${CMAKE_CXX_FLAGS} ${CMAKE_CXX_FLAGS_${config}}")
if(given MATCHES "-O[1-9gsz]|-Ofast" AND NOT given MATCHES "_FORTIFY_SOURCE")
  string(APPEND hardening " -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2")
endif()
set(CMAKE_CXX_FLAGS "${hardening} ${CMAKE_CXX_FLAGS}")
# Full RELRO: ELF linkers only; others reject the option.
check_linker_flag(CXX "LINKER:-z,relro,-z,now" have_relro_now)
if(have_relro_now)
  set(CMAKE_EXE_LINKER_FLAGS "-Wl,-z,relro,-z,now ${CMAKE_EXE_LINKER_FLAGS}")
endif()
