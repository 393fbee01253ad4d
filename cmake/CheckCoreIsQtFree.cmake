# Fails when a core file (FILES, a list) includes a Qt header or a file of the
# window library; writes STAMP when every one is clean.
set(offenders "")
foreach(file IN LISTS FILES)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|gui/|app/)")
  foreach(line IN LISTS lines)
    string(APPEND offenders "\n  ${file}: ${line}")
  endforeach()
endforeach()
if(offenders)
  message(FATAL_ERROR "The core and the command line (src/ outside src/gui and src/app) may not use Qt:${offenders}\n"
                      "Qt code belongs under src/gui/<area>/ or src/app/.")
endif()
file(WRITE "${STAMP}" "")
