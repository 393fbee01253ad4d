# What "cpack -G DEB" packs: the two programs, their manual pages and bash
# completion (made by the programs from their own help), the desktop entry,
# icon, MIME types and AppStream data, and the example levels (written by
# vantrel-cli at build time). Everything goes below the package's prefix,
# /usr; the package runs no scripts.
include(GNUInstallDirs)

set(VANTREL_RELEASE_DATE "2026-12-07")
set(VANTREL_ID org.orvel.Vantrel)
set(desktop ${PROJECT_SOURCE_DIR}/resources/desktop)
set(made ${CMAKE_CURRENT_BINARY_DIR}/share)

add_custom_command(
  OUTPUT ${made}/vantrel-cli.1.gz ${made}/vantrel-cli.bash
  COMMAND ${CMAKE_COMMAND} -E make_directory ${made}
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:vantrel-cli> "-DARGS=--generate man" -DOUT=${made}/vantrel-cli.1.gz
          -DGZIP=ON -P ${PROJECT_SOURCE_DIR}/cmake/RunToFile.cmake
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:vantrel-cli> "-DARGS=--generate bash" -DOUT=${made}/vantrel-cli.bash
          -P ${PROJECT_SOURCE_DIR}/cmake/RunToFile.cmake
  DEPENDS vantrel-cli ${PROJECT_SOURCE_DIR}/cmake/RunToFile.cmake
  COMMENT "Writing the manual page and bash completion of vantrel-cli from its help"
  VERBATIM)
set(made_files ${made}/vantrel-cli.1.gz ${made}/vantrel-cli.bash)

if(TARGET vantrel)
  add_custom_command(
    OUTPUT ${made}/vantrel.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${made}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:vantrel> -DARGS=--generate-man -DOUT=${made}/vantrel.1.gz
            -DGZIP=ON -P ${PROJECT_SOURCE_DIR}/cmake/RunToFile.cmake
    DEPENDS vantrel ${PROJECT_SOURCE_DIR}/cmake/RunToFile.cmake
    COMMENT "Writing the manual page of vantrel from its help and menu"
    VERBATIM)
  list(APPEND made_files ${made}/vantrel.1.gz)
endif()

# The example data directory, beside the programs in the build folder (where
# the window finds it too) and in /usr/share/vantrel/examples when installed.
file(GLOB example_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/examples/*.txt)
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/examples.stamp
  COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:vantrel-cli> -DSOURCE=${PROJECT_SOURCE_DIR}/resources/examples
          -DOUT=${CMAKE_CURRENT_BINARY_DIR}/examples -P ${PROJECT_SOURCE_DIR}/cmake/MakeExamples.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_CURRENT_BINARY_DIR}/examples.stamp
  DEPENDS vantrel-cli ${example_sources} ${PROJECT_SOURCE_DIR}/cmake/MakeExamples.cmake
  COMMENT "Writing the example levels with vantrel-cli"
  VERBATIM)

configure_file(${desktop}/${VANTREL_ID}.metainfo.xml.in ${made}/${VANTREL_ID}.metainfo.xml @ONLY)
add_custom_target(vantrel_package_files ALL DEPENDS ${made_files} ${CMAKE_CURRENT_BINARY_DIR}/examples.stamp)

install(TARGETS vantrel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET vantrel)
  install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${made}/vantrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${made}/vantrel-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${made}/vantrel-cli.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME vantrel-cli)
install(FILES ${desktop}/${VANTREL_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${made}/${VANTREL_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${desktop}/${VANTREL_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${VANTREL_ID}.xml)
install(FILES ${desktop}/${VANTREL_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${desktop}/icons/${size}x${size}/${VANTREL_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vantrel/examples)
install(FILES ${desktop}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR Orvel)
set(CPACK_PACKAGE_CONTACT "Orvel <vantrel@orvel.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tool for Rocks'n'Diamonds level files")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantrel opens Rocks'n'Diamonds level files, shows their header, map and custom elements, and patches them "
    "in place. It manages the game's levelsets, generates counter elements and makes levels from forum posts. "
    "vantrel-cli runs the same commands from a terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://orvel.org/vantrel")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
