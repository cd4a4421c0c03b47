# Installation and the Debian package.
#
# The layout is the usual one under a prefix (/usr for the package):
#   bin/                         the programs
#   share/tarvik/                the data files (demo feed, basemap)
#   share/man/man1/              a manual page per program
#   share/applications/          the desktop entry
#   share/icons/hicolor/         the icon, scalable and 48 and 256 pixels
#   share/metainfo/              the AppStream description
# The program finds its data as ../share/tarvik from its own folder, and an
# installed copy keeps its settings in the user's configuration folder (see
# src/settings/SettingsFolder.h): no path of the build machine is compiled in.
include(GNUInstallDirs)

set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(generated_dir ${CMAKE_BINARY_DIR}/packaging)
file(GLOB data_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/*)

# In the build tree the data files are copied into a "data" folder beside the
# program, where it looks as it does in a portable copy.
if(TARGET tarvik)
  get_target_property(program_dir tarvik BINARY_DIR)
  set(data_copies)
  foreach(file IN LISTS data_files)
    get_filename_component(name ${file} NAME)
    add_custom_command(OUTPUT ${program_dir}/data/${name}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${program_dir}/data
                       COMMAND ${CMAKE_COMMAND} -E copy ${file} ${program_dir}/data/${name}
                       DEPENDS ${file} VERBATIM)
    list(APPEND data_copies ${program_dir}/data/${name})
  endforeach()
  add_custom_target(tarvik_data ALL DEPENDS ${data_copies})
  add_dependencies(tarvik tarvik_data)
endif()

# Every program with its manual page, packaging/man/<program>.1.in.
foreach(program tarvik tarvik-decode tarvik-circles)
  if(NOT TARGET ${program})
    continue()
  endif()
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(EXISTS ${packaging_dir}/man/${program}.1.in)
    configure_file(${packaging_dir}/man/${program}.1.in ${generated_dir}/${program}.1 @ONLY)
    install(FILES ${generated_dir}/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    # scripts/test-package fails on an installed program without its page.
    message(WARNING "${program} has no manual page (${packaging_dir}/man/${program}.1.in)")
  endif()
endforeach()

# Whatever is in data/ is installed, so new data files come along by themselves.
install(FILES ${data_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/tarvik)

if(TARGET tarvik)
  configure_file(${packaging_dir}/tarvik.desktop.in ${generated_dir}/${TARVIK_APP_ID}.desktop @ONLY)
  configure_file(${packaging_dir}/tarvik.metainfo.xml.in ${generated_dir}/${TARVIK_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${generated_dir}/${TARVIK_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${generated_dir}/${TARVIK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  set(icons_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  install(FILES ${packaging_dir}/icons/tarvik.svg DESTINATION ${icons_dir}/scalable/apps RENAME ${TARVIK_APP_ID}.svg)
  foreach(size 48 256)
    install(FILES ${packaging_dir}/icons/tarvik-${size}.png DESTINATION ${icons_dir}/${size}x${size}/apps
            RENAME ${TARVIK_APP_ID}.png)
  endforeach()
endif()

# The Debian package: tarvik_<version>_<arch>.deb. Its library dependencies
# come from dpkg-shlibdeps (Debian dpkg-dev) run over the installed programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvik)
set(CPACK_PACKAGE_VENDOR "The Tarvik developers")
set(CPACK_PACKAGE_CONTACT "The Tarvik developers <${TARVIK_CONTACT_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "APRS range circles: PHG and DF coverage of the stations you hear")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvik decodes every APRS packet a client hears, keeps the latest packet of
every station and draws PHG and DF radio range circles on a map, coloured by
station class. A small APRS client is built in: it replays a demo feed or a
file, or listens to APRS-IS or a KISS TNC, and shows the circles on its map.
The package also holds tarvik-decode, which prints APRS packets as JSON or as
text reports.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TARVIK_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
