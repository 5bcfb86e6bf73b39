# Helpers that register test executables with CTest.
#
# Native tests run directly. Windows tests run directly on Windows and, in the
# cross build, under Wine through CMAKE_CROSSCOMPILING_EMULATOR in a
# project-local prefix. There a fixture prepares the prefix and keeps one
# wineserver alive for the whole run: without it, wineserver and Wine's system
# processes hold ctest's output pipe open for their 3 s linger after every test.

# Portable tests: built in every configuration; in the cross build they run
# under Wine like the Windows tests, with the prefix and its server.
function(tftpcfg_add_native_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine)
  endif()
  # GCC 12 warns falsely when a one-character literal is assigned to a
  # std::string at -O3, as in the Windows builds' Release (GCC bug 105329).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${name} PRIVATE -Wno-restrict)
  endif()
endfunction()

if(WIN32)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME wine_prefix_setup
             COMMAND sh "${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh" "${WINE_PREFIX}" --start-server)
    set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
    add_test(NAME wine_server_stop COMMAND sh -c "wineserver -k >/dev/null 2>&1 </dev/null; exit 0")
    set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine
                         ENVIRONMENT "WINEPREFIX=${WINE_PREFIX}")
  endif()

  # tftpcfg_windows_path_literal(<out> <path>): the path of a build file as the
  # Windows tests see it (on Wine's drive Z: in the cross build), escaped for a
  # C string literal.
  function(tftpcfg_windows_path_literal out path)
    if(CMAKE_CROSSCOMPILING)
      set(path "Z:${path}")
    endif()
    string(REPLACE "/" "\\\\" path "${path}")
    set(${out} "${path}" PARENT_SCOPE)
  endfunction()

  # tftpcfg_win_test_properties(<test> ...): the properties every Windows test
  # has. Tests share one desktop and foreground, so they run one at a time;
  # under Wine they need the prefix and its server.
  function(tftpcfg_win_test_properties test)
    set_tests_properties(${test} PROPERTIES RESOURCE_LOCK desktop ${ARGN})
    if(CMAKE_CROSSCOMPILING)
      set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine)
    endif()
  endfunction()

  # tftpcfg_add_win_test(<name> SOURCES ... [LIBS ...] [GUI] [TIMEOUT s])
  function(tftpcfg_add_win_test name)
    cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(T_GUI)
      # The program's manifest: common controls version 6, as the program uses them.
      list(APPEND T_SOURCES ${PROJECT_SOURCE_DIR}/tests/win/manifest.rc)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${T_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
      set(T_TIMEOUT 600)
    endif()
    tftpcfg_win_test_properties(${name} TIMEOUT ${T_TIMEOUT})
  endfunction()
endif()
