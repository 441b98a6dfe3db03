# Hardening of the programs we ship: the one place that sets it.
#
# Linux (GCC or Clang): what a Debian package is built with. Fortified libc
# calls where the build optimises, a canary in every function with a local
# array or address-taken local, format strings checked, stack probes for large
# frames, position-independent executables, and full RELRO: the relocations
# are all done at start-up and then made read-only.
#
# Windows (MinGW-w64): format strings checked, and the PE flags that let the
# loader place the program at a random address, anywhere in the 64-bit space,
# and refuse to run data.
#
# Sanitizer and fuzzing builds keep their own flags: fortified calls hide
# accesses from AddressSanitizer's interceptors.
#
# Sets VANTREL_HARDENED (ON when the flags apply) and, for the checks,
# VANTREL_FORTIFIED_CONFIGS: the build types that get _FORTIFY_SOURCE.

include(CheckCXXCompilerFlag)

set(VANTREL_HARDENED OFF)
# Fortification needs the optimiser: at -O0 glibc ignores it with a warning.
set(VANTREL_FORTIFIED_CONFIGS Release RelWithDebInfo MinSizeRel)

if(VANTREL_SANITIZE OR VANTREL_BUILD_FUZZ)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  message(WARNING "No hardening flags for the ${CMAKE_CXX_COMPILER_ID} compiler.")
  return()
endif()

if(VANTREL_PLATFORM STREQUAL "win32")
  add_compile_options(-Wformat -Werror=format-security)
  # GNU ld spells the PE DllCharacteristics bits out; a 32-bit image has no
  # high-entropy address space.
  add_link_options(LINKER:--dynamicbase LINKER:--nxcompat)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(LINKER:--high-entropy-va)
  endif()
  # No stack protector here: MinGW-w64 keeps it in libssp-0.dll, one more
  # DLL for the installer to carry.
  set(VANTREL_HARDENED ON)
  return()
endif()

if(NOT VANTREL_PLATFORM STREQUAL "linux")
  return()
endif()

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# A toolchain may define its own level already: ours replaces it.
list(JOIN VANTREL_FORTIFIED_CONFIGS "," _fortified)
add_compile_options("$<$<CONFIG:${_fortified}>:-U_FORTIFY_SOURCE>" "$<$<CONFIG:${_fortified}>:-D_FORTIFY_SOURCE=2>")

# Stack probes, as newer Debian releases add them, where the compiler knows
# them. (Not -fcf-protection: Debian 12's C start files carry no IBT/SHSTK
# property, so the linker drops it from every program and the landing pads
# would protect nothing.)
check_cxx_compiler_flag(-fstack-clash-protection VANTREL_HAS_STACK_CLASH_PROTECTION)
if(VANTREL_HAS_STACK_CLASH_PROTECTION)
  add_compile_options(-fstack-clash-protection)
endif()

# Position-independent code everywhere. Targets that ask for -fPIC (Qt's
# do) get it after this option, and -fPIC code links into a PIE as well.
add_compile_options(-fPIE)
add_link_options("$<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-pie>" LINKER:-z,relro LINKER:-z,now)
set(VANTREL_HARDENED ON)
