# libFuzzer targets, included by cmake/native.cmake in a sanitizer build by clang. The core is
# instrumented for coverage (the sanitizer runtime serves the other programs that link it);
# ctest runs each target for a short time on a copy of its seeds.
target_compile_options(qv_core PRIVATE -fsanitize=fuzzer-no-link)

foreach(name startup password convert)
  add_executable(fuzz_${name} tests/fuzz/${name}_fuzz.cpp)
  target_include_directories(fuzz_${name} PRIVATE tests)
  target_link_libraries(fuzz_${name} PRIVATE qv_sim)
  target_compile_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  if(Python3_Interpreter_FOUND)
    add_test(NAME fuzz_${name} COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/bench/fuzz.py
      --build ${CMAKE_BINARY_DIR} 20 ${name})
    set_tests_properties(fuzz_${name} PROPERTIES LABELS fuzz TIMEOUT 90)
  endif()
endforeach()
