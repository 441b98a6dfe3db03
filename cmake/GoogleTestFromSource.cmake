# GoogleTest and GoogleMock built from Debian's source package (googletest,
# in /usr/src/googletest) with the project's compiler: a cross build has no
# prebuilt GoogleTest for its target. Defines GTest::gtest, GTest::gtest_main
# and GTest::gmock as find_package(GTest) does.

set(VANTREL_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
if(NOT EXISTS "${VANTREL_GOOGLETEST_SOURCE}/CMakeLists.txt")
  message(FATAL_ERROR "No GoogleTest source in ${VANTREL_GOOGLETEST_SOURCE}: install Debian's googletest package")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Its headers are included as system headers, so the project's warnings stay
# about the project's code.
add_subdirectory("${VANTREL_GOOGLETEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
