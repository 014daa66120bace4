# Windows build (MinGW-w64): the Win32 backend, the program, and the Windows-side test programs.
enable_language(RC)
file(GLOB QV_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
list(FILTER QV_WIN32_SOURCES EXCLUDE REGEX ".*/winmain\\.cpp$")
add_library(qv_win32 STATIC ${QV_WIN32_SOURCES})
target_link_libraries(qv_win32 PUBLIC qv_core comctl32 comdlg32 shell32 advapi32 winmm ole32 oleaut32 uuid gdi32 user32)

set(QV_STATIC_LINK -static -static-libgcc -static-libstdc++)

add_executable(quorvane WIN32 src/platform/win32/winmain.cpp res/quorvane.rc)
set_target_properties(quorvane PROPERTIES OUTPUT_NAME "Quorvane 1.0")
target_link_libraries(quorvane PRIVATE qv_win32)
target_link_options(quorvane PRIVATE ${QV_STATIC_LINK} -s)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/windows.cmake)
  include(${CMAKE_SOURCE_DIR}/tests/windows.cmake)
endif()
