# Settings of every Windows target (VANTREL_PLATFORM=win32).

# The Win32 API without the rarely used parts of windows.h and without its
# min and max macros; the wide (W) functions are the default ones; Windows 10
# and later.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE _WIN32_WINNT=0x0A00 WINVER=0x0A00
                        NTDDI_VERSION=0x0A000000)

# Resource scripts, compiled by windres.
enable_language(RC)

# libgcc, libstdc++ and winpthread are linked in, so that a program imports
# the DLLs of Windows itself and nothing else.
add_link_options(-static)

# The header names Windows 10 as the oldest system, so that an older one
# refuses the program at once instead of failing on a missing call. Calls of
# later Windows 10 releases are looked up at run time, with a fallback.
add_link_options(-Wl,--major-os-version,10,--minor-os-version,0,--major-subsystem-version,10,--minor-subsystem-version,0)

# vantrel_add_import_check(name targets...) registers the test `name`: each
# target's executable imports only DLLs that every Windows installation has.
function(vantrel_add_import_check name)
  set(files "")
  foreach(target IN LISTS ARGN)
    list(APPEND files "$<TARGET_FILE:${target}>")
  endforeach()
  add_test(NAME ${name}
           COMMAND "${CMAKE_COMMAND}" "-DOBJDUMP=${CMAKE_OBJDUMP}" "-DFILES=${files}"
                   -P "${PROJECT_SOURCE_DIR}/cmake/CheckWindowsImports.cmake")
endfunction()
