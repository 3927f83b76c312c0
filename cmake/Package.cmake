# Installing and packaging.
#   cmake --install build --prefix /usr/local     puts the demo in place
#   cd build && cpack -G DEB                      makes tidewash_<version>_<arch>.deb
# Installed, with the directories GNUInstallDirs gives:
#   bin/tidewash                        the launcher, a small sh script
#   libexec/tidewash/tidewash           the program
#   share/tidewash/Quietfall.MP3        its soundtrack
#   share/applications/tidewash.desktop and share/icons/hicolor/256x256/apps/
#   tidewash.png                        the desktop menu entry and its icon
#   share/doc/tidewash/copyright and changelog.gz
#   share/lintian/overrides/tidewash    what lintian reports that is not a fault
#   share/man/man6/tidewash.6.gz        the manual pages, gzipped
#   bin/tidewash-capture                the capture program, when it is built,
#   share/man/man1/tidewash-capture.1.gz  and its manual page, which help2man
#                                       makes from its --help and --version
# The program reads only Quietfall.MP3 in its working directory, so the
# launcher starts it in share/tidewash. This file is included at the end of
# the top CMakeLists.txt, after every target is known.
include(GNUInstallDirs)

set(tidewash_program_dir ${CMAKE_INSTALL_LIBEXECDIR}/tidewash)
set(tidewash_data_dir ${CMAKE_INSTALL_DATADIR}/tidewash)
set(tidewash_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tidewash)
set(tidewash_packaging_dir ${CMAKE_BINARY_DIR}/packaging)

# Debian installs manual pages and changelogs gzipped; -n keeps the name and
# time out of the archive, so the same file gives the same bytes.
function(tidewash_gzip source result)
  get_filename_component(name ${source} NAME)
  set(gzipped ${tidewash_packaging_dir}/${name}.gz)
  add_custom_command(OUTPUT ${gzipped}
                     COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${source} ${gzipped}
                     DEPENDS ${source} VERBATIM)
  set(${result} ${gzipped} PARENT_SCOPE)
endfunction()

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
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${tidewash_doc_dir})
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME tidewash)

  tidewash_gzip(${CMAKE_SOURCE_DIR}/packaging/changelog changelog_gz)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/tidewash.6.in ${tidewash_packaging_dir}/tidewash.6 @ONLY)
  tidewash_gzip(${tidewash_packaging_dir}/tidewash.6 demo_page_gz)
  add_custom_target(tidewash_docs ALL DEPENDS ${changelog_gz} ${demo_page_gz})
  install(FILES ${changelog_gz} DESTINATION ${tidewash_doc_dir})
  install(FILES ${demo_page_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endif()

if(TARGET tidewash-capture)
  install(TARGETS tidewash-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  # The page follows the program's own --help; the include file adds the
  # exit status and examples.
  find_program(HELP2MAN help2man REQUIRED)
  set(capture_page ${tidewash_packaging_dir}/tidewash-capture.1)
  set(capture_page_include ${CMAKE_SOURCE_DIR}/packaging/tidewash-capture.h2m)
  # Dated by the package's latest change rather than the day of the build,
  # so the same source gives the same page.
  execute_process(COMMAND dpkg-parsechangelog -l ${CMAKE_SOURCE_DIR}/packaging/changelog -S Timestamp
                  OUTPUT_VARIABLE changelog_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog)
  set(page_date)
  if(changelog_time)
    set(page_date ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${changelog_time})
  endif()
  add_custom_command(OUTPUT ${capture_page}
                     COMMAND ${page_date} ${HELP2MAN} --no-info --section=1 --include=${capture_page_include}
                             --output=${capture_page} $<TARGET_FILE:tidewash-capture>
                     DEPENDS tidewash-capture ${capture_page_include} VERBATIM)
  tidewash_gzip(${capture_page} capture_page_gz)
  add_custom_target(tidewash_capture_page ALL DEPENDS ${capture_page_gz})
  install(FILES ${capture_page_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# The release archives (scripts/release.sh), with the web page built by
# web/build.sh, in build/release/, and the Windows zip when the tree is told
# of tidewash.exe (TIDEWASH_WINDOWS_EXE, built by scripts/windows.sh).
if(TARGET tidewash AND TARGET tidewash-capture AND TARGET tidewash_pack)
  set(release_dir ${CMAKE_BINARY_DIR}/release)
  add_custom_target(release
    COMMAND ${CMAKE_SOURCE_DIR}/web/build.sh $<TARGET_FILE:tidewash_pack> ${tidewash_soundtrack} ${release_dir}/site
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/release.sh ${PROJECT_VERSION} $<TARGET_FILE:tidewash>
            $<TARGET_FILE:tidewash-capture> ${tidewash_soundtrack} ${release_dir}/site ${release_dir}
            ${TIDEWASH_WINDOWS_EXE}
    DEPENDS tidewash tidewash-capture tidewash_pack soundtrack VERBATIM)
endif()

# example.org is the domain kept for examples; a packager sets a real address.
set(TIDEWASH_PACKAGE_MAINTAINER "The Tidewash developers <tidewash-developers@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidewash)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
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
