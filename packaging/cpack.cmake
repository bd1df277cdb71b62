# The Debian package, made by CPack from the install rules: `cpack -G DEB` in the build folder.
# Its dependencies are read from the program's shared libraries by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME "garvolin-zudodo")
set(CPACK_PACKAGE_VENDOR "The Garvolin Zudodo Team")
set(CPACK_PACKAGE_CONTACT "The Garvolin Zudodo Team")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade maze game on a floor that crumbles behind you")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "garvolin-zudodo")
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "TXZ")
set(CPACK_SOURCE_IGNORE_FILES "/build/" "/\\.git/")

set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The summary above is the first line; this is the long description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Steer a small block character from cell to cell of a tile maze seen from
above. The floor crumbles behind him as he moves, so no cell can be crossed
twice. Eat the pills for points, gather the four friends hidden in every
level, who then follow him in a line, and walk into his home.
.
Levels are generated from seeds. There are twelve game types in three
groups (Classic, Pathfinder, Expanse), each group with a quest of numbered
levels and three kinds of endless play; the game keeps score tables for
every type.")

include(CPack)
