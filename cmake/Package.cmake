# Installing and packaging.
#   cmake --install build --prefix /usr/local     puts the demo in place
#   cd build && cpack -G DEB                      makes tidewash_<version>_<arch>.deb
# Installed, with the directories GNUInstallDirs gives:
#   bin/tidewash                        the launcher, a small sh script
#   libexec/tidewash/tidewash           the program
#   share/tidewash/Quietfall.MP3        its soundtrack
#   share/applications/tidewash.desktop and share/icons/hicolor/256x256/apps/
#   tidewash.png                        the desktop menu entry and its icon
#   share/doc/tidewash/copyright
#   bin/tidewash-capture                the capture program, when it is built
# The program reads only Quietfall.MP3 in its working directory, so the
# launcher starts it in share/tidewash. This file is included at the end of
# the top CMakeLists.txt, after every target is known.
include(GNUInstallDirs)

set(tidewash_program_dir ${CMAKE_INSTALL_LIBEXECDIR}/tidewash)
set(tidewash_data_dir ${CMAKE_INSTALL_DATADIR}/tidewash)

if(TARGET tidewash)
  install(TARGETS tidewash RUNTIME DESTINATION ${tidewash_program_dir})

  # The launcher finds the program and the data relative to its own place.
  file(RELATIVE_PATH program_from_bin /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${tidewash_program_dir})
  file(RELATIVE_PATH data_from_bin /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${tidewash_data_dir})
  configure_file(${CMAKE_SOURCE_DIR}/packaging/tidewash.in ${CMAKE_BINARY_DIR}/packaging/tidewash @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/tidewash DESTINATION ${CMAKE_INSTALL_BINDIR})

  get_property(tidewash_soundtrack GLOBAL PROPERTY TIDEWASH_SOUNDTRACK)
  if(tidewash_soundtrack)
    install(FILES ${tidewash_soundtrack} DESTINATION ${tidewash_data_dir})
  endif()

  install(FILES ${CMAKE_SOURCE_DIR}/packaging/tidewash.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/assets/icon.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
          RENAME tidewash.png)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tidewash)
endif()

if(TARGET tidewash-capture)
  install(TARGETS tidewash-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(TIDEWASH_PACKAGE_MAINTAINER "The Tidewash developers <tidewash-developers@localhost>"
    CACHE STRING "The Maintainer field of the Debian package: a packager sets a real address")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidewash)
set(CPACK_PACKAGE_VERSION 0.3.0)
set(CPACK_PACKAGE_CONTACT ${TIDEWASH_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo with its own soundtrack")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries' packages, found by dpkg-shlibdeps from the program itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# tidewash-capture hands its frames to ffmpeg to make a video.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
# The summary above is the first line of the package's description, this
# the rest.
set(CPACK_PACKAGE_DESCRIPTION
    "The Vorn Tidewash Demo v 0.3 plays full screen with OpenGL, in step with its
soundtrack Quietfall: a cloud of glowing particles, title lettering over a
spinning logo, a title picture, a textured tunnel and a closing scene, a
little over two minutes in all.
.
Start it from the desktop menu or with the command tidewash. Escape ends it
and Space writes the music position. Without a sound card it plays in silence,
in correct time.
.
tidewash-capture records the demo with no display, at any frame rate and
size, to an H.264 video with its soundtrack (through ffmpeg), PNG frames or
stills.")
include(CPack)
