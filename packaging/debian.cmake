# The Debian package (make package, or cpack in the build folder):
# build/pelmora_<version>_<arch>.deb with the library dependencies computed
# from the binaries by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${PELMORA_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Digital Map 2500 to MapInfo MIF/MID converter")
# The extended description, below the summary line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Converts the Japanese large-scale base map Digital Map 2500 into MapInfo
Interchange Format: 31 layers in nine groups, gathered from any number of
area folders into one MIF/MID pair per layer, with output that MapInfo and
GDAL open as they are.
.
The package holds the desktop window (pelmora, Japanese texts), the
command-line program pelmora-convert and the GDAL driver DM2500, a plugin
through which ogrinfo, ogr2ogr, QGIS and every other GDAL program read the
map-data folders directly.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's font (IPAPGothic); the libraries come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
# Qt's own dialogs in Japanese, shell completion, opening the guide in a browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, bash-completion, xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# A package installs under /usr whatever prefix the build folder was given.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
