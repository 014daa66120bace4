# Footprint figures (printed, never asserted), each beside the same figure for a trivial program of
# ours built the same way: start-up, private memory, wake-ups and CPU idle in the tray and with a
# plan running, the program's and the installer's sizes. Included by cmake/windows.cmake.
add_executable(footprint_trivial WIN32 bench/trivial.cpp)
set_target_properties(footprint_trivial PROPERTIES OUTPUT_NAME trivial
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/footprint)
target_link_options(footprint_trivial PRIVATE ${QV_STATIC_LINK} -s)

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(AMD64|x86_64)$" AND TARGET inspector)
  # The sizes are those of an i686 build of the same sources (the build that ships), made in a
  # folder of its own beside this one, the same one the `figures` target uses.
  add_custom_target(footprint
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/bench/footprint.py
      --source ${CMAKE_SOURCE_DIR} --build32 ${CMAKE_BINARY_DIR}/figures-i686
      --exe64 $<TARGET_FILE:quorvane> --trivial64 $<TARGET_FILE:footprint_trivial>
      --inspector $<TARGET_FILE:inspector> --template ${CMAKE_BINARY_DIR}/e2e-prefix
    DEPENDS quorvane footprint_trivial inspector
    USES_TERMINAL)
else()
  add_custom_target(footprint
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/bench/footprint.py
      --exe32 $<TARGET_FILE:quorvane> --trivial32 $<TARGET_FILE:footprint_trivial>
    DEPENDS quorvane footprint_trivial
    USES_TERMINAL)
endif()
