# `make package`: a Debian package that installs everything under /usr, built by CPack from
# the same install rules as `make install`. Run-time dependencies are computed from the
# binaries by dpkg-shlibdeps.

# The release this tree is: the Debian changelog and the AppStream metadata carry the date of
# the commit it is built from. A tree without its history (an unpacked archive) takes the
# date of SOURCE_DATE_EPOCH when that is set, else the day of the build.
execute_process(COMMAND git log -1 --format=%cs
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  OUTPUT_VARIABLE WVR_RELEASE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE WVR_GIT_FAILED ERROR_QUIET)
if(WVR_GIT_FAILED OR NOT WVR_RELEASE_DATE MATCHES "^[0-9]+-[0-9]+-[0-9]+$")
  string(TIMESTAMP WVR_RELEASE_DATE "%Y-%m-%d" UTC)
else()
  # A new commit configures again, so the date follows it.
  execute_process(COMMAND git rev-parse --absolute-git-dir
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE WVR_GIT_DIR OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(EXISTS ${WVR_GIT_DIR}/logs/HEAD)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${WVR_GIT_DIR}/logs/HEAD)
  endif()
endif()

# Where the project is published, set when configuring (cmake -DWVR_HOMEPAGE=... and so on).
set(WVR_HOMEPAGE "https://wvr.example.org" CACHE STRING "The project's home page (AppStream, Debian control)")
set(WVR_PACKAGE_MAINTAINER "wvr developers <wvr@example.org>" CACHE STRING "The Maintainer field of the package")
set(WVR_APPSTREAM_ID org.example.wvr CACHE STRING
  "The AppStream component id: reverse DNS of the home page, as software centres expect")


configure_file(${CMAKE_CURRENT_LIST_DIR}/wvr.metainfo.xml.in ${CMAKE_BINARY_DIR}/${WVR_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${WVR_APPSTREAM_ID}.metainfo.xml DESTINATION share/metainfo)

# Debian keeps a changelog and a copyright file with every package; the changelog is the one
# entry of this release, compressed reproducibly (gzip -n, fixed time).
execute_process(COMMAND date -u -R -d "${WVR_RELEASE_DATE} 12:00"
  OUTPUT_VARIABLE WVR_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9 -n -c changelog > changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
add_custom_target(wvr-changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION share/doc/wvr)

# What lintian is told to pass over, each with the reason.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides DESTINATION share/lintian/overrides RENAME wvr)

# A stripped build (the package) also loses the compilers' notes in ".comment", as Debian's
# own packages do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(binary bin/wvr bin/wvr-cli lib/wvr/dll/wvr_prn.so)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${binary}\" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")

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
