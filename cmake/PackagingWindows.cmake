# What the Windows installer holds ("cpack -G NSIS" in build-windows, or
# scripts/windows.sh): both programs in one folder with the Qt and MinGW
# runtime DLLs the window needs and the Windows platform plugin, the example
# levels (written at build time by vantrel-cli.exe itself, under Wine), the
# licence; a Start menu entry, .level and .vce files opened with Vantrel, and
# an uninstaller. Where makensis is missing, "cpack -G ZIP" makes the same
# folder as a ZIP that runs from where it is unpacked.

# The example data directory, beside the programs (where the window finds it).
file(GLOB example_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/examples/*.txt)
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/examples.stamp
  COMMAND ${CMAKE_COMMAND} -DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR} -DCLI=$<TARGET_FILE:vantrel-cli>
          -DSOURCE=${PROJECT_SOURCE_DIR}/resources/examples -DOUT=${CMAKE_CURRENT_BINARY_DIR}/examples
          -P ${PROJECT_SOURCE_DIR}/cmake/MakeExamples.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_CURRENT_BINARY_DIR}/examples.stamp
  DEPENDS vantrel-cli ${example_sources} ${PROJECT_SOURCE_DIR}/cmake/MakeExamples.cmake
  COMMENT "Writing the example levels with vantrel-cli.exe"
  VERBATIM)
add_custom_target(vantrel_package_files ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/examples.stamp)

install(TARGETS vantrel-cli RUNTIME DESTINATION .)
if(TARGET vantrel)
  install(TARGETS vantrel RUNTIME DESTINATION .)
  # The DLLs the window loads, from the prefix the kit's Qt lives in.
  get_target_property(qt_core Qt6::Core IMPORTED_LOCATION_RELEASE)
  get_filename_component(qt_bin ${qt_core} DIRECTORY)
  get_filename_component(qt_prefix ${qt_bin} DIRECTORY)
  install(FILES ${qt_bin}/Qt6Core.dll ${qt_bin}/Qt6Gui.dll ${qt_bin}/Qt6Widgets.dll ${qt_bin}/libstdc++-6.dll
                ${qt_bin}/libgcc_s_seh-1.dll ${qt_bin}/libwinpthread-1.dll
          DESTINATION .)
  install(FILES ${qt_prefix}/plugins/platforms/qwindows.dll DESTINATION platforms)
  install(DIRECTORY ${qt_prefix}/plugins/styles/ DESTINATION styles FILES_MATCHING PATTERN "*.dll")
endif()
install(DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/examples/ DESTINATION examples)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_GENERATOR NSIS)
# The values reach the installer script as they are written here (quotes, backslashes).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME Vantrel)
set(CPACK_PACKAGE_VENDOR Orvel)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tool for Rocks'n'Diamonds level files")
set(CPACK_PACKAGE_FILE_NAME "Vantrel-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Vantrel")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Vantrel")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
# A 64-bit installer (NSIS makes 32-bit ones unless told), into "Program Files".
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME "Vantrel ${PROJECT_VERSION}")
set(CPACK_NSIS_PACKAGE_NAME "Vantrel")
set(CPACK_NSIS_URL_INFO_ABOUT "https://orvel.org/vantrel")
set(CPACK_NSIS_INSTALLED_ICON_NAME vantrel.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# The Start menu entry: the window.
set(CPACK_PACKAGE_EXECUTABLES vantrel Vantrel)
# .level and .vce files open with Vantrel; the uninstaller takes the keys away again.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [=[
  WriteRegStr SHCTX "Software\Classes\.level" "" "Vantrel.Level"
  WriteRegStr SHCTX "Software\Classes\Vantrel.Level" "" "Rocks'n'Diamonds level"
  WriteRegStr SHCTX "Software\Classes\Vantrel.Level\DefaultIcon" "" "$INSTDIR\vantrel.exe,0"
  WriteRegStr SHCTX "Software\Classes\Vantrel.Level\shell\open\command" "" '"$INSTDIR\vantrel.exe" "%1"'
  WriteRegStr SHCTX "Software\Classes\.vce" "" "Vantrel.CustomElements"
  WriteRegStr SHCTX "Software\Classes\Vantrel.CustomElements" "" "Vantrel custom elements"
  WriteRegStr SHCTX "Software\Classes\Vantrel.CustomElements\DefaultIcon" "" "$INSTDIR\vantrel.exe,0"
  WriteRegStr SHCTX "Software\Classes\Vantrel.CustomElements\shell\open\command" "" '"$INSTDIR\vantrel.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, i 0, i 0)'
]=])
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [=[
  ReadRegStr $0 SHCTX "Software\Classes\.level" ""
  StrCmp $0 "Vantrel.Level" 0 +2
  DeleteRegKey SHCTX "Software\Classes\.level"
  ReadRegStr $0 SHCTX "Software\Classes\.vce" ""
  StrCmp $0 "Vantrel.CustomElements" 0 +2
  DeleteRegKey SHCTX "Software\Classes\.vce"
  DeleteRegKey SHCTX "Software\Classes\Vantrel.Level"
  DeleteRegKey SHCTX "Software\Classes\Vantrel.CustomElements"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, i 0, i 0)'
]=])
include(CPack)
