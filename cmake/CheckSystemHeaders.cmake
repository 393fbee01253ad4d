# Fails when a file (FILES, a list) includes a header of the operating system:
# POSIX (unistd.h, fcntl.h, sys/..., signal.h, ...) or Windows (windows.h,
# io.h, ...). Only src/platform may; everything else goes through
# platform/Platform.h. Writes STAMP when every file is clean.
set(system_headers
    "unistd\\.h" "fcntl\\.h" "sys/" "signal\\.h" "csignal" "dirent\\.h" "pwd\\.h" "grp\\.h" "poll\\.h"
    "termios\\.h" "dlfcn\\.h" "spawn\\.h" "pthread\\.h" "[Ww]indows\\.h" "[Ww]inbase\\.h" "[Ww]innt\\.h"
    "io\\.h" "direct\\.h" "process\\.h" "shlobj\\.h" "shellapi\\.h" "winsock" "ws2tcpip\\.h")
list(JOIN system_headers "|" alternatives)
set(offenders "")
foreach(file IN LISTS FILES)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*<(${alternatives})")
  foreach(line IN LISTS lines)
    string(APPEND offenders "\n  ${file}: ${line}")
  endforeach()
endforeach()
if(offenders)
  message(FATAL_ERROR "Only src/platform may include the operating system's headers:${offenders}\n"
                      "Add what is needed to src/platform/Platform.h and its two implementations.")
endif()
file(WRITE "${STAMP}" "")
