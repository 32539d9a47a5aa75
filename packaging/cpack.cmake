# Settings of the Debian package (make package), included by the top-level
# CMakeLists.txt so that CPack packs the whole install tree.
# velkora_1.0-1_amd64.deb
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkora)
set(CPACK_PACKAGE_VENDOR "Das Velkora-Team")
set(CPACK_PACKAGE_CONTACT "Das Velkora-Team <team@velkora.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "touch-typing trainer for the German keyboard")
set(CPACK_PACKAGE_DESCRIPTION
    "Velkora teaches typing with all ten fingers on the German keyboard: eighteen\n"
    "lessons, practice texts, intensive training for each hand and texts of your\n"
    "own, with an on-screen keyboard, error counts per finger and statistics.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # name_version-release_arch.deb
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VELKORA_HOMEPAGE})
# The libraries the executable links come from dpkg-shlibdeps; the plugins
# Qt loads at run time (SQLite driver, window system) and the fonts are named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, qt6-qpa-plugins, fonts-liberation")
# German captions in Qt's own dialogs; spoken keys through speech-dispatcher.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-speech-speechd-plugin")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})
# The whole install tree, and the Debian changelog that make install leaves out.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};ALL;/"
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};debian;/")
include(CPack)
