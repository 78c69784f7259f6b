# Fails when the program imports a DLL that is not part of Windows itself, so
# that usbdup.exe runs on a bare PC with nothing installed beside it.
#   cmake -DOBJDUMP=... -DEXE=... -P imports.cmake
set(WINDOWS_DLLS
  kernel32.dll user32.dll gdi32.dll comctl32.dll uxtheme.dll msvcrt.dll advapi32.dll shell32.dll
  ole32.dll oleaut32.dll comdlg32.dll shlwapi.dll ws2_32.dll version.dll winmm.dll imm32.dll
  ntdll.dll bcrypt.dll crypt32.dll setupapi.dll cfgmgr32.dll ucrtbase.dll)
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed (${rc})")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "no imports found in ${EXE}")
endif()
set(foreign "")
foreach(line ${lines})
  string(REGEX REPLACE "DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" lower)
  if(lower MATCHES "^api-ms-win-" OR lower MATCHES "^ext-ms-win-")
    continue()
  endif()
  list(FIND WINDOWS_DLLS "${lower}" found)
  if(found EQUAL -1)
    list(APPEND foreign "${dll}")
  endif()
  message(STATUS "imports ${dll}")
endforeach()
if(foreign)
  message(FATAL_ERROR "usbdup.exe imports DLLs that are not Windows' own: ${foreign}")
endif()
