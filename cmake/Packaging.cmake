# The Debian package: `cpack -G DEB` in a build configured with
# CMAKE_INSTALL_PREFIX=/usr (see `make package`). The version comes from
# project(); the library dependencies from dpkg-shlibdeps.

set(CPACK_PACKAGE_NAME "vantrel")
set(CPACK_PACKAGE_VENDOR "Brindle Labs")
set(CPACK_PACKAGE_CONTACT "Brindle Labs <vantrel@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
    "VantRel is one thin, borderless bar along the top or bottom edge of the screen.
It reserves its strip, so other windows are laid out around it, and shows the
live download and upload traffic of one network interface: the byte totals, a
scrolling graph of the last minutes, the current and the highest speed, and
two small level meters.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "vantrel")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME "vantrel")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Brindle Labs <vantrel@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION "net")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Manual command and the About box's link open through xdg-open; the
# bar's texts are laid out for Arial's metrics, which Liberation Sans shares.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
