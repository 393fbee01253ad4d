# What building for Windows (cmake/WindowsToolchain.cmake, scripts/windows.sh)
# adds to the build.

# CLI11 is headers only: Debian's copy serves the cross build too, copied out
# of /usr/include so that no other header of the build machine is seen.
if(NOT TARGET CLI11::CLI11)
  find_package(CLI11 CONFIG QUIET)
  if(NOT CLI11_FOUND)
    find_path(VANTREL_CLI11_INCLUDE CLI/CLI.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT VANTREL_CLI11_INCLUDE)
      message(FATAL_ERROR "CLI11's headers are missing (Debian: libcli11-dev)")
    endif()
    file(COPY ${VANTREL_CLI11_INCLUDE}/CLI DESTINATION ${CMAKE_BINARY_DIR}/cli11)
    add_library(CLI11::CLI11 INTERFACE IMPORTED)
    target_include_directories(CLI11::CLI11 INTERFACE ${CMAKE_BINARY_DIR}/cli11)
  endif()
endif()

# A program for Windows: the manifest (UTF-8 as the code page of its narrow
# text), and, with STATIC, the C++ runtime inside the .exe (the window shares
# the runtime DLLs with Qt instead).
function(vantrel_windows_program target)
  cmake_parse_arguments(arg "STATIC" "" "" ${ARGN})
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/resources/windows/vantrel.rc)
  if(arg_STATIC)
    target_link_options(${target} PRIVATE -static)
  endif()
endfunction()
