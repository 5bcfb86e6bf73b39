# Helpers that register test executables with CTest.
#
# Native tests run directly. Windows tests run directly on Windows and, in the
# cross build, under Wine through CMAKE_CROSSCOMPILING_EMULATOR in a
# project-local prefix. There a fixture prepares the prefix and keeps one
# wineserver alive for the whole run: without it, wineserver and Wine's system
# processes hold ctest's output pipe open for their 3 s linger after every test.
#
# Every test carries one label, by which scripts and workflows select tests
# (ctest -L <label>, -LE <label>):
#   unit         the portable unit tests, and Windows tests without a window
#   gui          Windows tests that create windows and controls
#   reliability  the fault matrices, leak cycles and bad input on the real window (long)
#   installer    the release files: installer package, portable zip, help file
#   fuzz         the fuzz targets run over their seed corpora

# Portable tests: built in every configuration; in the cross build they run
# under Wine like the Windows tests, with the prefix and its server.
function(tftpcfg_add_native_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300 LABELS unit)
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
    add_test(NAME wine_server_stop COMMAND sh -c "wineserver -k >/dev/null 2>&1 </dev/null; exit 0")
    # The fixture serves every label that runs under Wine; ctest adds it to any
    # selection that needs it.
    set(wine_labels unit gui reliability installer)
    set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300
                         LABELS "${wine_labels}")
    set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine
                         ENVIRONMENT "WINEPREFIX=${WINE_PREFIX}" LABELS "${wine_labels}")
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

  # tftpcfg_add_win_test(<name> SOURCES ... [LIBS ...] [GUI] [TIMEOUT s] [LABEL l]):
  # labelled gui with GUI, unit without, unless LABEL names another.
  function(tftpcfg_add_win_test name)
    cmake_parse_arguments(T "GUI" "TIMEOUT;LABEL" "SOURCES;LIBS" ${ARGN})
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
    if(NOT T_LABEL)
      if(T_GUI)
        set(T_LABEL gui)
      else()
        set(T_LABEL unit)
      endif()
    endif()
    tftpcfg_win_test_properties(${name} TIMEOUT ${T_TIMEOUT} LABELS ${T_LABEL})
  endfunction()
endif()
