# CertInstall.exe: 32-bit Unicode GUI program that loads on a stock Windows
# 2000/XP/2003. Only system DLLs; the C++ runtime and libgcc are linked in.
enable_language(RC)

# The headers of Windows 2000: a call that XP or later added does not
# compile, unless Compat.cpp looks it up at run time.
set(win2000_defines UNICODE _UNICODE WINVER=0x0500 _WIN32_WINNT=0x0500)
# The Windows 2000 loader refuses an image whose subsystem version is above
# 5.00 ("not a valid Win32 application"); XP and 2003 load 4.00 to 5.02.
# ASLR and DEP are marked for the systems that know them; XP SP2 honours
# DEP, 2000 and XP RTM ignore both.
set(win2000_link_options
  -municode -static -s
  -Wl,--major-subsystem-version,5,--minor-subsystem-version,0
  -Wl,--major-os-version,5,--minor-os-version,0
  -Wl,--dynamicbase,--nxcompat
  # Reproducible: no link time in the header, so one commit gives one exe.
  -Wl,--no-insert-timestamp)

target_compile_definitions(certinstall_core PUBLIC ${win2000_defines})
# Nothing of the build's own folders may reach the exe, where a user checks
# a download against the published SHA-256.
target_compile_options(certinstall_core PUBLIC -ffunction-sections -fdata-sections
  -ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)

# Everything the two editions share; each edition adds its entry point, the
# parts only it uses and its resources (names and manifest).
add_library(certinstall_win32 OBJECT
  platform/win32/Accessibility.cpp
  platform/win32/Banner.cpp
  platform/win32/Compat.cpp
  platform/win32/CryptStores.cpp
  platform/win32/FormWindow.cpp
  platform/win32/FormWindowPaint.cpp
  platform/win32/GdiTextMeasure.cpp
  platform/win32/Program.cpp
  platform/win32/Runtime.cpp
  platform/win32/SingleInstance.cpp
  platform/win32/SystemError.cpp
  platform/win32/Win32Platform.cpp
  platform/win32/WindowIcons.cpp)
target_link_libraries(certinstall_win32 PUBLIC certinstall_core)

# windows_edition(NAME SOURCES...): NAME.exe from the shared parts, SOURCES
# and resources/NAME.rc (which includes its edition's icon), with
# NAME.exe.sha256 beside it in the format sha256sum -c reads.
function(windows_edition name)
  add_executable(${name} WIN32 ${ARGN} resources/${name}.rc)
  set_source_files_properties(resources/${name}.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/resources/program.rc;${CMAKE_SOURCE_DIR}/resources/banner.jpg;${CMAKE_SOURCE_DIR}/resources/icon.rc;${CMAKE_SOURCE_DIR}/resources/vista-icon.rc;${CMAKE_SOURCE_DIR}/resources/vista-icon.ico;${CMAKE_SOURCE_DIR}/resources/${name}.manifest")
  target_link_libraries(${name} PRIVATE certinstall_win32 ole32 oleaut32 uuid)
  target_link_options(${name} PRIVATE ${win2000_link_options} -Wl,--gc-sections)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:${name}> -P ${CMAKE_SOURCE_DIR}/cmake/WriteSha256.cmake
    VERBATIM)
endfunction()

windows_edition(CertInstall
  platform/win32/MainClassic.cpp
  platform/win32/ClassicLook.cpp
  platform/win32/ComEnrollment.cpp)
windows_edition(CertInstallVista
  platform/win32/MainVista.cpp
  platform/win32/ModernLook.cpp)
# The themed controls, and the registry for the text size of Windows 10 and 11.
target_link_libraries(CertInstallVista PRIVATE comctl32 advapi32)

# Each source spends most of its compile in <windows.h> and the standard
# headers; compiled a few to a unit, both editions build in a third of the
# time, for the operator's release (a build of its own) as for its tests.
set_target_properties(certinstall_core certinstall_win32 CertInstall CertInstallVista PROPERTIES UNITY_BUILD ON)
