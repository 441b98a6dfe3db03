# cmake -DOBJDUMP=<objdump> -DFILES=<a.exe;b.exe> -P CheckWindowsImports.cmake
# Fails when one of the executables imports a DLL that is not part of Windows
# itself, such as the MinGW runtime (libstdc++-6.dll, libgcc_s_seh-1.dll,
# libwinpthread-1.dll).

cmake_minimum_required(VERSION 3.25)

set(system_dlls
    advapi32 comctl32 comdlg32 gdi32 iphlpapi kernel32 msvcrt ntdll ole32 oleaut32 shell32 shlwapi
    user32 uxtheme version winmm ws2_32)

if(NOT FILES)
  message(FATAL_ERROR "No executables given")
endif()
set(bad "")
foreach(file IN LISTS FILES)
  execute_process(COMMAND "${OBJDUMP}" -p "${file}" OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${file} failed")
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
  message(FATAL_ERROR "Imports of DLLs that Windows does not ship:\n  ${text}")
endif()
list(LENGTH FILES count)
message(STATUS "${count} executables import only Windows system DLLs")
