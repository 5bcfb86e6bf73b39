# Helpers that register test executables with CTest.
#
# Native tests run directly. Windows tests run under Wine through
# CMAKE_CROSSCOMPILING_EMULATOR in a project-local prefix. A fixture prepares the
# prefix and keeps one wineserver alive for the whole run: without it, wineserver
# and Wine's system processes hold ctest's output pipe open for their 3 s linger
# after every test.

function(tftpcfg_add_native_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()

if(WIN32)
  set(_wine_env "WINEDEBUG=-all;WINEPREFIX=${WINE_PREFIX};WINEDLLOVERRIDES=winemenubuilder.exe=d")
  add_test(NAME wine_prefix_setup
           COMMAND sh "${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh" "${WINE_PREFIX}" --start-server)
  set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  add_test(NAME wine_server_stop COMMAND sh -c "wineserver -k >/dev/null 2>&1 </dev/null; exit 0")
  set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine
                       ENVIRONMENT "WINEPREFIX=${WINE_PREFIX}")

  # tftpcfg_add_wine_test(<name> SOURCES ... [LIBS ...] [GUI] [TIMEOUT s])
  # GUI tests share one Wine desktop and foreground, so they run one at a time.
  function(tftpcfg_add_wine_test name)
    cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(T_GUI)
      # The program's manifest: common controls version 6, as the program uses them.
      list(APPEND T_SOURCES ${PROJECT_SOURCE_DIR}/tests/win/manifest.rc)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE gtest gtest_main ${T_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
      set(T_TIMEOUT 600)
    endif()
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT ${T_TIMEOUT}
                         RESOURCE_LOCK wine_desktop)
  endfunction()
endif()
