# End-to-end test of the setup program, included by cmake/installer.cmake: the 64-bit twin under
# Wine, in a copy of the end-to-end cases' template prefix.
if(TEST e2e_prefix)
  add_test(NAME e2e_install
    COMMAND ${Python3_EXECUTABLE} ${QV_E2E_DIR}/test_install.py --setup ${QV_SETUP}
      --exe $<TARGET_FILE:quorvane> --inspector $<TARGET_FILE:inspector>
      --template ${QV_E2E_PREFIX} --artifacts ${QV_E2E_ARTIFACTS} Install)
  set_tests_properties(e2e_install PROPERTIES FIXTURES_REQUIRED e2e_prefix TIMEOUT 180 COST 180
    LABELS e2e)
endif()

# The guard service, installed by the same setup program: a plan ended from outside comes back,
# Exit with the password is final, bad clients of the pipe change nothing, a removal takes it.
if(TEST e2e_prefix)
  foreach(group Guarded ExitAndRemove)
    add_test(NAME e2e_service_${group}
      COMMAND ${Python3_EXECUTABLE} ${QV_E2E_DIR}/test_service.py --setup ${QV_SETUP}
        --exe $<TARGET_FILE:quorvane> --inspector $<TARGET_FILE:inspector>
        --template ${QV_E2E_PREFIX} --artifacts ${QV_E2E_ARTIFACTS} ${group})
    set_tests_properties(e2e_service_${group} PROPERTIES FIXTURES_REQUIRED e2e_prefix TIMEOUT 150
      COST 150 LABELS e2e)
  endforeach()
endif()

# Figures of the guard service (bench/guard.py), a few tries as part of `figures`; a full run of
# 20 tries by hand: bench/guard.py --tries 20 ...
if(TARGET figures AND TEST e2e_prefix)
  add_custom_target(figures_guard
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/bench/guard.py --tries 5 --setup ${QV_SETUP}
      --exe64 $<TARGET_FILE:quorvane> --inspector $<TARGET_FILE:inspector> --template ${QV_E2E_PREFIX}
    DEPENDS installer inspector
    USES_TERMINAL)
  add_dependencies(figures figures_guard)
endif()
