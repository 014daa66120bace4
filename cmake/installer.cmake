# The setup program, built by makensis from installer/quorvane.nsi around the program, the files
# beside it and the icon. The i686 build makes the one that ships, "Quorvane <version> setup.exe";
# the x86_64 build makes its 64-bit twin "Quorvane <version> setup x64.exe" from the same script,
# which the tests run under Wine (it has no 32-bit side here).
find_program(QV_MAKENSIS makensis)
if(NOT QV_MAKENSIS)
  message(STATUS "makensis not found: no setup program (scripts/deps.sh installs the package nsis)")
  return()
endif()

# The version is written once, in res/version.h.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/version.h)
file(READ ${CMAKE_SOURCE_DIR}/res/version.h QV_VERSION_H)
foreach(part MAJOR MINOR)
  if(NOT QV_VERSION_H MATCHES "#define QV_VERSION_${part} ([0-9]+)")
    message(FATAL_ERROR "res/version.h: QV_VERSION_${part} not found")
  endif()
  set(QV_VERSION_${part} ${CMAKE_MATCH_1})
endforeach()
set(QV_VERSION ${QV_VERSION_MAJOR}.${QV_VERSION_MINOR})
if(NOT QV_VERSION_H MATCHES "#define QV_VERSION_TEXT \"([0-9.]+)\"")
  message(FATAL_ERROR "res/version.h: QV_VERSION_TEXT not found")
endif()
set(QV_VERSION_TEXT ${CMAKE_MATCH_1})

set(QV_SETUP_OPTIONS)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(AMD64|x86_64)$")
  set(QV_SETUP "${CMAKE_BINARY_DIR}/Quorvane ${QV_VERSION} setup x64.exe")
  set(QV_SETUP_OPTIONS -DX64)
else()
  set(QV_SETUP "${CMAKE_BINARY_DIR}/Quorvane ${QV_VERSION} setup.exe")
endif()

add_custom_command(OUTPUT ${QV_SETUP}
  COMMAND ${QV_MAKENSIS} -V2
    -DVERSION=${QV_VERSION} -DFILEVERSION=${QV_VERSION_TEXT}
    -DPROGRAM_DIR=$<TARGET_FILE_DIR:quorvane> -DPROGRAM_NAME=$<TARGET_FILE_NAME:quorvane>
    -DICON=${CMAKE_SOURCE_DIR}/res/quorvane.ico -DOUTFILE=${QV_SETUP} ${QV_SETUP_OPTIONS}
    ${CMAKE_SOURCE_DIR}/installer/quorvane.nsi
  COMMAND ${CMAKE_COMMAND} -DFILE=${QV_SETUP} -DLIMIT=1048576 -P ${CMAKE_SOURCE_DIR}/installer/size.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/installer/quorvane.nsi ${CMAKE_SOURCE_DIR}/res/quorvane.ico quorvane
    ${CMAKE_BINARY_DIR}/sound.wav ${CMAKE_BINARY_DIR}/Quorvane.html
  COMMENT "Building the setup program"
  VERBATIM)
add_custom_target(installer ALL DEPENDS ${QV_SETUP})
# sound.wav and Quorvane.html are made by beside_program; building it first keeps their rules
# from running twice at once.
add_dependencies(installer quorvane beside_program)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/install.cmake)
  include(${CMAKE_SOURCE_DIR}/tests/install.cmake)
endif()
