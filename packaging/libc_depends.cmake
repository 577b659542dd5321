# Read by CPack when the C++ runtime is linked into the program (TIPSRAD_STATIC
# cxx): the package then depends on the C library alone, at the newest symbol
# version the program asks for, which is what dpkg-shlibdeps would find. Any
# other library stops the packaging, since its package is not known here.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
execute_process(COMMAND ${CPACK_TIPSRAD_READELF} --wide --dynamic --version-info
                        ${CPACK_TIPSRAD_PROGRAM}
                OUTPUT_VARIABLE elf COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*" needed "${elf}")
foreach(entry ${needed})
  if(NOT entry MATCHES "\\[(libc|libm|ld-linux[-a-z0-9_]*)\\.so\\.[0-9]+\\]$")
    message(FATAL_ERROR "${CPACK_TIPSRAD_PROGRAM} ${entry}: not a part of libc6")
  endif()
endforeach()
string(REGEX MATCHALL "Name: GLIBC_[0-9.]+" versions "${elf}")
set(newest 0)
foreach(version ${versions})
  string(REPLACE "Name: GLIBC_" "" version "${version}")
  if(version VERSION_GREATER newest)
    set(newest ${version})
  endif()
endforeach()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= ${newest})")
