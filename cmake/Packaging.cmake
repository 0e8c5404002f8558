# The Debian package built by `cpack` (or `cmake --build build --target package`):
# everything `cmake --install` puts under /usr, with its dependencies computed from the
# shared libraries the program links (dpkg-shlibdeps, package dpkg-dev).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vedra-viewer)
set(CPACK_PACKAGE_VENDOR "The Vedra Viewer developers")
set(CPACK_PACKAGE_CONTACT "The Vedra Viewer developers <info@vedra-viewer.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vedra-viewer.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop picture viewer")
# The package's long description, one line of the control file per line here.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Vedra Viewer browses the folders of the mounted drives and shows the JPEG,"
  "GIF, BMP, ICO, WMF and EMF pictures they hold under five size modes, with"
  "their size, dimensions and date. It runs slide shows, shows pictures full"
  "screen, copies, moves, renames and deletes them, exchanges them through the"
  "clipboard and drag and drop, and writes an HTML list of a folder's pictures.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# Qt loads its Wayland platform as a plugin, which no linked library names: without it
# the program cannot start in a Wayland session that has no X server. The computed
# dependencies are added after this one.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-wayland")
# Metafiles name the faces of the system they were drawn on: Liberation stands in for
# Arial, Times New Roman and Courier New with the same widths, OpenSymbol draws the
# Symbol and Wingdings characters, WenQuanYi Zen Hei Chinese and Japanese text.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, fonts-opensymbol, fonts-wqy-zenhei, fonts-symbola")
# Directories are 0755 and files 0644 (0755 for the program) whatever the umask of the build.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The licence and the history, where Debian's tools look for them: a machine-readable
# copyright file and the changelog, compressed the same way every time. The package's
# version has no Debian revision, so it is a native package and its changelog is
# changelog.gz (lintian's name for it; changelog.Debian.gz is for packages of upstream
# sources).
set(VEDRA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vedra-viewer)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright DESTINATION ${VEDRA_DOC_DIR})
set(vedra_changelog ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${vedra_changelog}
  COMMAND ${VEDRA_GZIP} -n -9 -c ${PROJECT_SOURCE_DIR}/cmake/debian/changelog > ${vedra_changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
  COMMENT "Compressing the changelog"
  VERBATIM)
add_custom_target(vedra_changelog ALL DEPENDS ${vedra_changelog})
install(FILES ${vedra_changelog} DESTINATION ${VEDRA_DOC_DIR})

include(CPack)
