# The Debian package: `cpack -G DEB` in the build folder makes cinaxo_VERSION_ARCH.deb.
set(CPACK_PACKAGE_NAME cinaxo)
set(CPACK_PACKAGE_VENDOR "Cinaxo")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "catalogue of a home film collection on removable discs")
set(CPACK_PACKAGE_CONTACT "Cinaxo developers <cinaxo@example.org>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY cinaxo)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The first line of the package's description is the summary above; this is the text under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Cinaxo keeps one entry per film of a collection stored on removable discs:
title, disc label, format, the paths of the video, audio and subtitle files,
whether the disc is at home and to whom it was lent. It starts the chosen
player on a film, also when the desktop mounted its disc elsewhere than the
catalogue remembers. Its texts are Bulgarian.")
# The libraries the program links come from dpkg-shlibdeps; Qt finds its window system through a
# plugin, which no library names.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The window layouts name "MS Sans Serif" and "Tahoma"; these fonts stand in with the same widths.
# Qt's own texts (the file dialogs) in Bulgarian come from qtbase_bg.qm.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, qt6-translations-l10n")
include(CPack)
