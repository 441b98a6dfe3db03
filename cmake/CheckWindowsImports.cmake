# cmake -DOBJDUMP=<objdump> -DFILES=<a.exe;b.exe> -P CheckWindowsImports.cmake
# Fails when one of the executables imports a DLL that is not part of Windows
# itself, such as the MinGW runtime (libstdc++-6.dll, libgcc_s_seh-1.dll,
# libwinpthread-1.dll), or when its header does not ask for the address space
# layout randomisation (with high entropy) and the data execution prevention
# that a hardened build links in, or when it does not name Windows 10 as its
# oldest system. The first executable, the program, must not import calls
# that came with later releases of Windows 10 (they are looked up at run
# time).

cmake_minimum_required(VERSION 3.25)

set(system_dlls
    advapi32 comctl32 comdlg32 gdi32 iphlpapi kernel32 msvcrt ntdll ole32 oleaut32 shell32 shlwapi
    user32 uxtheme version winmm ws2_32)

if(NOT FILES)
  message(FATAL_ERROR "No executables given")
endif()
# Calls of Windows 10 1607 and later.
set(late_calls
    GetDpiForWindow GetDpiForSystem GetSystemMetricsForDpi AdjustWindowRectExForDpi SystemParametersInfoForDpi
    SetThreadDpiAwarenessContext GetThreadDpiAwarenessContext EnableNonClientDpiScaling
    SetProcessDpiAwarenessContext)
list(GET FILES 0 program)
set(bad "")
foreach(file IN LISTS FILES)
  execute_process(COMMAND "${OBJDUMP}" -p "${file}" OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${file} failed")
  endif()
  # The flags are listed by name on the lines after DllCharacteristics.
  string(FIND "${dump}" "DllCharacteristics" at)
  set(characteristics "")
  if(at GREATER_EQUAL 0)
    string(SUBSTRING "${dump}" ${at} 200 characteristics)
    string(FIND "${characteristics}" "SizeOfStackReserve" end)
    if(end GREATER 0)
      string(SUBSTRING "${characteristics}" 0 ${end} characteristics)
    endif()
  endif()
  foreach(flag IN ITEMS HIGH_ENTROPY_VA DYNAMIC_BASE NX_COMPAT)
    if(NOT characteristics MATCHES "${flag}")
      list(APPEND bad "${file}: not linked with ${flag}")
    endif()
  endforeach()
  foreach(field IN ITEMS MajorOSystemVersion MajorSubsystemVersion)
    if(NOT dump MATCHES "${field}[ \t]+10\n")
      list(APPEND bad "${file}: ${field} is not 10")
    endif()
  endforeach()
  if(file STREQUAL program)
    foreach(call IN LISTS late_calls)
      if(dump MATCHES "[ \t]${call}\n")
        list(APPEND bad "${file}: imports ${call}, which Windows 10 before 1607 lacks")
      endif()
    endforeach()
  endif()
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
  if(NOT names)
    message(FATAL_ERROR "${file}: no imported DLL found; is it a Windows executable?")
  endif()
  foreach(entry IN LISTS names)
    string(REGEX REPLACE "^DLL Name: " "" dll "${entry}")
    string(TOLOWER "${dll}" lower)
    string(REGEX REPLACE "\\.dll$" "" base "${lower}")
    if(NOT base IN_LIST system_dlls AND NOT base MATCHES "^api-ms-win-")
      list(APPEND bad "${file}: ${dll}")
    endif()
  endforeach()
endforeach()
if(bad)
  list(JOIN bad "\n  " text)
  message(FATAL_ERROR "Imports of DLLs that Windows does not ship or of late calls, hardening or the minimum system missing:\n  ${text}")
endif()
list(LENGTH FILES count)
message(STATUS "${count} executables import only Windows system DLLs, need Windows 10 and are built for ASLR and DEP")
