# Install rules and the Debian package. `cmake --install BUILD --prefix /usr` puts:
#   bin/Ombrix, bin/ombrix-cli
#   share/applications/ombrix.desktop
#   share/icons/hicolor/scalable/apps/ombrix.svg, share/icons/hicolor/256x256/apps/ombrix.png
#   share/man/man1/ombrix-cli.1
#   share/doc/ombrix/README.md
# `cpack -G DEB` (run in the build folder) makes ombrix_<version>_<arch>.deb of the same files.

include(GNUInstallDirs)

install(TARGETS ombrix-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET Ombrix)
  install(TARGETS Ombrix RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/ombrix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/ombrix.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  # The same drawing at 256 pixels (rsvg-convert -w 256 -h 256 ombrix.svg) for desktops without SVG.
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/ombrix-256.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME ombrix.png)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/docs/ombrix-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ombrix)

set(CPACK_PACKAGE_NAME "ombrix")
set(CPACK_PACKAGE_VENDOR "Quillmoor Software")
set(CPACK_PACKAGE_CONTACT "Quillmoor Software <ombrix@quillmoor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "HD DVD EVO and DVD VOB demultiplexer with playlist reading and EVO rebuild")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Ombrix scans HD DVD video object files (.EVO) and DVD .VOB files and reports every video, audio "
       "and subpicture stream, writes the chosen streams to elementary files (subpictures as SUP), reads "
       "the disc playlist VPLST000.XPL, and rebuilds a stripped .rebuilt.EVO. It has a Qt window, "
       "Ombrix, and a command line, ombrix-cli.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillmoor.invalid/ombrix")
# The library packages (libqt6widgets6, libqt6gui6 with the xcb platform plugin, libqt6core6,
# libstdc++6, libc6) come from dpkg-shlibdeps. Wine's Tahoma gives the window its designed font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET Ombrix)
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fonts-wine")
endif()
include(CPack)
