# The Debian package: `cpack -G DEB` in a build configured with
# CMAKE_INSTALL_PREFIX=/usr (see `make package`). The version comes from
# project(); the library dependencies from dpkg-shlibdeps.
# On Windows: the per-user installer and the portable zip (`cpack -G
# "NSIS;ZIP"`, see `make windows-package`).

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

# The licence: LICENSE in the sources. An installer that shows a licence page
# (NSIS on Windows) shows this one.
set(_license "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_RESOURCE_FILE_LICENSE "${_license}")

if(VANTREL_PLATFORM STREQUAL "linux")
  # The package's documents in share/doc/vantrel: the licence as a
  # machine-readable copyright file and the changelog, gzipped under the name
  # a package without a Debian revision uses. Both go into any /usr or
  # /usr/local install as well. The manual is registered with doc-base.
  set(_debian "${PROJECT_SOURCE_DIR}/res/debian")
  include(LicenseText)
  # Debian's copyright format: the text indented, an empty line written as ".".
  string(REPLACE "\n\n" "\n.\n" _text "${VANTREL_LICENSE_BODY}")
  string(REPLACE "\n" "\n " VANTREL_LICENSE_TEXT " ${_text}")
  configure_file("${_debian}/copyright.in" copyright @ONLY)

  file(STRINGS "${_debian}/changelog" _latest LIMIT_COUNT 1)
  if(NOT _latest MATCHES "^vantrel \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "res/debian/changelog starts with '${_latest}': "
                        "add an entry for version ${PROJECT_VERSION} on top.")
  endif()
  vantrel_gzip(vantrel_changelog "${_debian}/changelog" "${CMAKE_CURRENT_BINARY_DIR}/changelog.gz")
  configure_file("${_debian}/vantrel.doc-base.in" vantrel.doc-base @ONLY)

  install(FILES "${CMAKE_CURRENT_BINARY_DIR}/copyright" "${CMAKE_CURRENT_BINARY_DIR}/changelog.gz"
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES "${CMAKE_CURRENT_BINARY_DIR}/vantrel.doc-base" RENAME vantrel
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc-base)
elseif(VANTREL_PLATFORM STREQUAL "win32")
  # One folder: the program with its manual beside it, where the Manual
  # command looks, and the licence.
  set(CPACK_PACKAGE_FILE_NAME "VantRel-${PROJECT_VERSION}-win64")
  set(CPACK_PACKAGE_INSTALL_DIRECTORY "VantRel")
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "VantRel")
  set(CPACK_NSIS_DISPLAY_NAME "VantRel")
  set(CPACK_NSIS_PACKAGE_NAME "VantRel")
  set(CPACK_NSIS_URL_INFO_ABOUT "${PROJECT_HOMEPAGE_URL}")
  # The installer's script is cmake/NSIS.template.in (found on CMAKE_MODULE_PATH).
  # The program's file name, for the installer script (CPack passes on CPACK_ variables only).
  set(CPACK_VANTREL_PROGRAM "vantrel.exe")
  if(TARGET vantrel)
    install(TARGETS vantrel RUNTIME DESTINATION .)
  endif()
  install(FILES "${VANTREL_MANUAL}" DESTINATION .)
  install(FILES "${_license}" RENAME LICENSE.txt DESTINATION .)
else()
  install(FILES "${_license}" DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

include(CPack)
