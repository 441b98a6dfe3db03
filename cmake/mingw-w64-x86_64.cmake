# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix
# thread model, whose libstdc++ has std::thread and std::mutex):
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The project then builds the win32 adapters (VANTREL_PLATFORM=win32).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_vantrel_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_vantrel_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_vantrel_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_vantrel_mingw}-windres)
set(CMAKE_OBJDUMP ${_vantrel_mingw}-objdump)

# Headers and libraries come from the MinGW-w64 sysroot only; programs run
# on the build machine (cmake, ninja, wine) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${_vantrel_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
