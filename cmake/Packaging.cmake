# The Debian package: `cpack` in a build folder (or `cpack -B DIR` to put it elsewhere)
# writes pagelint_VERSION_ARCH.deb. Its library dependencies are computed by
# dpkg-shlibdeps from what the programs and libraries really link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pagelint)
set(CPACK_PACKAGE_VENDOR "Corvane Software")
set(CPACK_PACKAGE_CONTACT "Corvane Software <support@corvanesoftware.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spell checker for web sites")
set(CPACK_PACKAGE_DESCRIPTION
  "Pagelint checks the spelling of whole web sites. A project names a site's root
folder, filters and dictionaries; Pagelint collects the site's HTML pages, keeps
only the text a browser shows and lists the words no dictionary knows, with
suggestions and the pages that hold them. Words can be ignored, added to a
dictionary, looked up online, or replaced in many pages at once with a backup of
every changed page and undo.
.
The package holds the desktop program, the command-line checker pagelint-check
for scripts and continuous integration, and the speller library spellcore with
its headers, CMake package and pkg-config file.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.corvanesoftware.com/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# dpkg-shlibdeps finds the package's own libraries in the staged library folder.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_LIBDIR})
# Qt loads its window-system plugins at run time, so no library link names them: without
# them the program cannot open a window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Help pages and web look-ups open through the desktop's opener; Wayland sessions, the
# spoken welcome and https upgrade checks need further run-time plugins.
# The speller reads the desktop's Hunspell dictionaries through libnuspell5, which
# dpkg-shlibdeps adds; U.S. English is the one every desktop is offered first.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "xdg-utils, qt6-wayland, qt6-speech-speechd-plugin, libssl3, hunspell-en-us")
install(FILES ${PROJECT_SOURCE_DIR}/docs/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/pagelint)
include(CPack)
