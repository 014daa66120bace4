# Windows-side tests, included by cmake/windows.cmake: the inspector that end-to-end cases use to
# see and drive the program, a stand-in shutdown.exe, the end-to-end cases under Wine and Xvfb, the
# settings-store cases against the real registry, and the `figures` target.

# Console program; reads and drives other processes' windows.
add_executable(inspector tests/e2e/ui_probe.cpp)
target_link_libraries(inspector PRIVATE advapi32 comctl32 shell32 user32)
target_link_options(inspector PRIVATE -static -static-libgcc -static-libstdc++)

# Stand-in for the system's shutdown.exe: records its command line instead of shutting down. Kept
# in a folder of its own so that it shadows nothing beside the program in the build folder.
add_executable(fake_shutdown tests/e2e/fake_shutdown.cpp)
set_target_properties(fake_shutdown PROPERTIES OUTPUT_NAME shutdown
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/e2e-tools)
target_link_options(fake_shutdown PRIVATE -static -static-libgcc -static-libstdc++)

# Stand-in game that the lock screen's list starts; its icon is drawn at build time.
set(QV_TEST_GAME_ICON ${CMAKE_BINARY_DIR}/e2e-tools/test_game.ico)
add_custom_command(OUTPUT ${QV_TEST_GAME_ICON}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tests/e2e/make_test_icon.py ${QV_TEST_GAME_ICON}
  DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/make_test_icon.py)
file(WRITE ${CMAKE_BINARY_DIR}/e2e-tools/test_game.rc "1 ICON \"${QV_TEST_GAME_ICON}\"\n")
add_executable(test_game WIN32 tests/e2e/test_game.cpp ${CMAKE_BINARY_DIR}/e2e-tools/test_game.rc
  ${QV_TEST_GAME_ICON})
set_source_files_properties(${CMAKE_BINARY_DIR}/e2e-tools/test_game.rc
  PROPERTIES OBJECT_DEPENDS ${QV_TEST_GAME_ICON})
set_target_properties(test_game PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/e2e-tools)
target_link_options(test_game PRIVATE -static -static-libgcc -static-libstdc++)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/wincases/runner_win.cpp)
  add_executable(store_cases_win tests/wincases/runner_win.cpp tests/wincases/cases.cpp)
  target_include_directories(store_cases_win PRIVATE tests/wincases tests)
  target_link_libraries(store_cases_win PRIVATE qv_win32)
  target_link_options(store_cases_win PRIVATE -static -static-libgcc -static-libstdc++)
endif()

find_package(Python3 COMPONENTS Interpreter)
find_program(QV_WINE wine)
find_program(QV_XVFB Xvfb)

set(QV_E2E_DIR ${CMAKE_SOURCE_DIR}/tests/e2e)
set(QV_E2E_PREFIX ${CMAKE_BINARY_DIR}/e2e-prefix)
set(QV_E2E_ARTIFACTS ${CMAKE_BINARY_DIR}/e2e-artifacts)

# Only the x86_64 build runs here: the Wine on these machines has no 32-bit side.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(AMD64|x86_64)$" AND Python3_Interpreter_FOUND AND QV_WINE AND QV_XVFB)
  # One template prefix per test run; every case copies it.
  add_test(NAME e2e_prefix
    COMMAND ${Python3_EXECUTABLE} ${QV_E2E_DIR}/harness.py boot-template --template ${QV_E2E_PREFIX})
  set_tests_properties(e2e_prefix PROPERTIES FIXTURES_SETUP e2e_prefix TIMEOUT 240)

  # test name, script, test class, time limit in seconds (a case takes about 10 s; the cases of
  # a running plan wait for its periods and take up to about 90 s)
  set(QV_E2E_GROUPS
    e2e_kill_changing_mode test_kills KillAndRestart.test_changing_mode 420
    e2e_kill_one_time_mode test_kills KillAndRestart.test_one_time_mode 420
    e2e_kill_bed_time_mode test_kills KillAndRestart.test_bed_time_mode 420
    e2e_escapes test_escapes LockedLockScreen 240
    e2e_first_run test_startup FirstRun 150
    e2e_password_change test_startup PasswordChange 180
    e2e_first_run_abandoned test_startup FirstRunAbandoned 150
    e2e_bad_stored_settings test_startup BadStoredSettings 240
    e2e_console_layout test_console ConsoleLayout 180
    e2e_console_modes test_console ModeSelection 180
    e2e_console_save test_console SaveThroughControls 180
    e2e_startup_registration test_console StartupRegistration 120
    e2e_changing_mode test_plan ChangingMode 240
    e2e_shutdown test_plan Shutdown 180
    e2e_resume test_plan Resume 330
    e2e_week_day_limit test_week DayLimit 240
    e2e_tray_menu test_guard TrayMenu 150
    e2e_plan_from_the_tray test_guard PlanFromTheTray 180
    e2e_lock_screen_exit test_guard LockScreenExit 240
    e2e_allowed_launch test_allowed LaunchFromLockScreen 240
    e2e_allowed_editing test_allowed EditThroughDialogs 120)
  while(QV_E2E_GROUPS)
    list(POP_FRONT QV_E2E_GROUPS name script group timeout)
    add_test(NAME ${name}
      COMMAND ${Python3_EXECUTABLE} ${QV_E2E_DIR}/${script}.py
        --exe $<TARGET_FILE:quorvane> --inspector $<TARGET_FILE:inspector>
        --fake-shutdown $<TARGET_FILE:fake_shutdown> --test-game $<TARGET_FILE:test_game>
        --template ${QV_E2E_PREFIX} --artifacts ${QV_E2E_ARTIFACTS} ${group})
    # the longest cases first, so that two at a time finish together
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED e2e_prefix TIMEOUT ${timeout} COST ${timeout}
      LABELS e2e)
  endwhile()

  if(TARGET store_cases_win)
    add_test(NAME store_cases_wine
      COMMAND ${Python3_EXECUTABLE} ${QV_E2E_DIR}/harness.py run --template ${QV_E2E_PREFIX}
        -- $<TARGET_FILE:store_cases_win>)
    set_tests_properties(store_cases_wine PROPERTIES FIXTURES_REQUIRED e2e_prefix TIMEOUT 120
      FAIL_REGULAR_EXPRESSION "[1-9][0-9]* failed")
  endif()
endif()

# Figures, printed and never asserted: the size of the stripped i686 program and, where it can
# run, the time from its start to its notification icon under Wine, how quickly a listed
# program is started and locked and a long list refreshed, and how quickly the window lock holds
# down a window that appears.
if(Python3_Interpreter_FOUND)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(AMD64|x86_64)$")
    add_custom_target(figures
      COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/bench/figures.py
        --source ${CMAKE_SOURCE_DIR} --build32 ${CMAKE_BINARY_DIR}/figures-i686
        --exe64 $<TARGET_FILE:quorvane> --inspector $<TARGET_FILE:inspector>
        --fake-shutdown $<TARGET_FILE:fake_shutdown> --template ${QV_E2E_PREFIX}
      COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/bench/allowed.py
        --exe64 $<TARGET_FILE:quorvane> --inspector $<TARGET_FILE:inspector>
        --test-game $<TARGET_FILE:test_game> --template ${QV_E2E_PREFIX}
      COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/bench/lock.py
        --exe64 $<TARGET_FILE:quorvane> --inspector $<TARGET_FILE:inspector> --template ${QV_E2E_PREFIX}
      DEPENDS quorvane inspector fake_shutdown test_game
      USES_TERMINAL)
  else()
    add_custom_target(figures
      COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/bench/figures.py --exe32 $<TARGET_FILE:quorvane>
      DEPENDS quorvane
      USES_TERMINAL)
  endif()
endif()
