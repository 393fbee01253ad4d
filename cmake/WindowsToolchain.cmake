# Cross-building Vantrel for 64-bit Windows with Debian's MinGW-w64 (the posix
# thread model, so that std::thread and std::mutex work), used by
# scripts/windows.sh:
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/WindowsToolchain.cmake \
#         -DVANTREL_WINDOWS_KIT=build-windows/kit -DQT_HOST_PATH=/usr
# VANTREL_WINDOWS_KIT is the unpacked prefix of libraries built for Windows
# (Qt, libpng, GoogleTest: ../shared/windows-kit). Programs the build runs
# (the atlas embedder, vantrel-cli writing the examples) and the tests run under
# Wine through scripts/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VANTREL_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTREL_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTREL_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTREL_MINGW}-windres)
set(CMAKE_AR /usr/bin/${VANTREL_MINGW}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${VANTREL_MINGW}-gcc-ranlib-posix CACHE FILEPATH "")

# Target libraries come from the MinGW sysroot and the kit; programs of the build machine from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VANTREL_MINGW})
if(VANTREL_WINDOWS_KIT)
  get_filename_component(VANTREL_WINDOWS_KIT "${VANTREL_WINDOWS_KIT}" ABSOLUTE)
  list(APPEND CMAKE_FIND_ROOT_PATH ${VANTREL_WINDOWS_KIT})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# zlib linked into the programs, as libpng is (the kit's is static).
set(ZLIB_USE_STATIC_LIBS ON)

# The build's own programs and the tests run under Wine.
get_filename_component(VANTREL_TOOLCHAIN_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTREL_TOOLCHAIN_ROOT}/scripts/wine-run.sh)

# -O2 as the Linux build has it: at -O3 this GCC (12) warns of overlapping
# copies inside std::string that cannot happen, which -Werror turns into errors.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
