# Native (Linux) build: the simulation backend, the unit and scenario tests, the benchmarks.
file(GLOB QV_SIM_SOURCES CONFIGURE_DEPENDS src/platform/sim/*.cpp)
add_library(qv_sim STATIC ${QV_SIM_SOURCES})
target_link_libraries(qv_sim PUBLIC qv_core)

find_package(GTest REQUIRED)
file(GLOB QV_UNIT_TESTS CONFIGURE_DEPENDS tests/unit/*.cpp tests/wincases/cases.cpp)
add_executable(qv_tests ${QV_UNIT_TESTS})
target_include_directories(qv_tests PRIVATE tests)
target_link_libraries(qv_tests PRIVATE qv_sim GTest::gtest GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(qv_tests DISCOVERY_TIMEOUT 30)

file(GLOB QV_BENCH_SOURCES CONFIGURE_DEPENDS bench/*_native.cpp)
if(QV_BENCH_SOURCES)
  add_executable(qv_bench ${QV_BENCH_SOURCES})
  target_include_directories(qv_bench PRIVATE tests)
  target_link_libraries(qv_bench PRIVATE qv_sim)
endif()

# The help page's and the README's links all lead somewhere.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  add_test(NAME help_links COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/help_links.py
    ${CMAKE_SOURCE_DIR}/res/Quorvane.html ${CMAKE_SOURCE_DIR}/README.md)
  # What they call by name (buttons, boxes, messages, folders) is in the program or its setup.
  add_test(NAME doc_names COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/doc_names.py
    ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/res/Quorvane.html ${CMAKE_SOURCE_DIR}/README.md)
endif()

# libFuzzer targets, in a sanitizer build by clang (scripts/build.sh asan).
if(QV_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  include(tests/fuzz/fuzz.cmake)
endif()
