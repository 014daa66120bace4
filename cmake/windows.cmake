# Windows build (MinGW-w64): the Win32 backend, the program, and the Windows-side test programs.
enable_language(RC)
file(GLOB QV_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
list(FILTER QV_WIN32_SOURCES EXCLUDE REGEX ".*/(winmain|lean_runtime)\\.cpp$")
add_library(qv_win32 STATIC ${QV_WIN32_SOURCES})
# Windows 7 headers (balloon fields of the tray record, list-view and tooltip records); every call
# used also exists on older systems or is looked up at run time.
target_compile_definitions(qv_win32 PUBLIC WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0800 NOMINMAX)
target_link_libraries(qv_win32 PUBLIC qv_core comctl32 shell32 advapi32 uuid gdi32 user32)

set(QV_STATIC_LINK -static -static-libgcc -static-libstdc++)

add_executable(quorvane WIN32 src/platform/win32/winmain.cpp src/platform/win32/lean_runtime.cpp
  res/quorvane.rc)
set_target_properties(quorvane PROPERTIES OUTPUT_NAME "Quorvane 1.0")
target_link_libraries(quorvane PRIVATE qv_win32)
target_link_options(quorvane PRIVATE ${QV_STATIC_LINK} -s)
# The signal sound ships beside the program.
find_package(Python3 COMPONENTS Interpreter REQUIRED)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/sound.wav
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/scripts/make-sound.py ${CMAKE_BINARY_DIR}/sound.wav
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/make-sound.py)
# So does the help page that Help opens where Windows Help is not available.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/Quorvane.html
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/res/Quorvane.html ${CMAKE_BINARY_DIR}/Quorvane.html
  DEPENDS ${CMAKE_SOURCE_DIR}/res/Quorvane.html)
add_custom_target(beside_program ALL DEPENDS ${CMAKE_BINARY_DIR}/sound.wav ${CMAKE_BINARY_DIR}/Quorvane.html)
add_dependencies(quorvane beside_program)
# The resource script names its files relative to its own folder.
set_source_files_properties(res/quorvane.rc PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/res/quorvane.ico;${CMAKE_SOURCE_DIR}/res/quorvane.manifest;${CMAKE_SOURCE_DIR}/res/version.h")

# Checks of the Win32 backend itself; they run under Windows or Wine with a display.
file(GLOB QV_WIN32_CHECKS CONFIGURE_DEPENDS tests/win32/*.cpp)
if(QV_WIN32_CHECKS)
  add_executable(qv_win32_checks ${QV_WIN32_CHECKS} res/quorvane.rc)
  target_link_libraries(qv_win32_checks PRIVATE qv_win32)
  target_link_options(qv_win32_checks PRIVATE ${QV_STATIC_LINK})
  # Under Wine on the build machine (64-bit only there), on a virtual X server when there is no
  # display.
  find_program(QV_WINE wine)
  if(QV_WINE AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(AMD64|x86_64)$")
    add_test(NAME win32_backend
      COMMAND sh -c "if [ -n \"$DISPLAY\" ]; then exec \"$0\" \"$1\"; else exec xvfb-run -a \"$0\" \"$1\"; fi"
              ${QV_WINE} $<TARGET_FILE:qv_win32_checks>)
    set_tests_properties(win32_backend PROPERTIES TIMEOUT 300 ENVIRONMENT "WINEDEBUG=-all")
  endif()
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/windows.cmake)
  include(${CMAKE_SOURCE_DIR}/tests/windows.cmake)
endif()

# The installer, and the footprint figures beside a trivial program, each kept in a file of its own.
foreach(part ${CMAKE_SOURCE_DIR}/cmake/installer.cmake ${CMAKE_SOURCE_DIR}/bench/footprint.cmake)
  if(EXISTS ${part})
    include(${part})
  endif()
endforeach()
