# `make package`: a Debian package that installs everything under /usr, built by CPack from
# the same install rules as `make install`. Run-time dependencies are computed from the
# binaries by dpkg-shlibdeps.

# The release this tree is: the Debian changelog and the AppStream metadata carry its date.
set(WVR_RELEASE_DATE 2026-12-08)
set(WVR_HOMEPAGE "https://wvr.example.org" CACHE STRING "The project's home page (AppStream, Debian control)")
set(WVR_PACKAGE_MAINTAINER "wvr developers <wvr@example.org>" CACHE STRING "The Maintainer field of the package")
# The AppStream component id: reverse DNS of the home page, as software centres expect.
set(WVR_APPSTREAM_ID org.example.wvr)


configure_file(${CMAKE_CURRENT_LIST_DIR}/wvr.metainfo.xml.in ${CMAKE_BINARY_DIR}/${WVR_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${WVR_APPSTREAM_ID}.metainfo.xml DESTINATION share/metainfo)

# Debian keeps a changelog and a copyright file with every package; the changelog is the one
# entry of this release, compressed reproducibly (gzip -n, fixed time).
execute_process(COMMAND date -u -R -d "${WVR_RELEASE_DATE} 12:00"
  OUTPUT_VARIABLE WVR_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9 -n -c changelog > changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
add_custom_target(wvr-changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION share/doc/wvr)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wvr)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "wvr developers")
set(CPACK_PACKAGE_CONTACT "${WVR_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "librarian for music files with a Japanese interface")
# The extended description; CPack puts the summary before it as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "wvr lists MP3, RIFF RMP3, WAVE-wrapped MPEG and SoundVQ files with their tags
and audio properties, edits the tags and writes them back byte-exactly, and
renames files from their tags. Tags also come from file names, formatted text
files and CSV files; files convert between MP3, RMP3 and WAVE.
.
The package holds the program wvr, the command-line front end wvr-cli, the
Japanese help pages and the label-printing plug-in.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${WVR_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${WVR_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no binary names them: Qt's own Japanese texts and a Japanese font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-ipafont-gothic | fonts-noto-cjk")
include(CPack)
