# A test that fails unless an archive holds each named entry:
#   cmake -D ARCHIVE=<file> -D ENTRIES=<path>,<path>... [-D SEVEN_ZIP=<7z>] -P ArchiveHasEntries.cmake
# CMake lists a zip itself, so that check needs no other tool; a CHM needs 7-Zip.
cmake_minimum_required(VERSION 3.20)
if(SEVEN_ZIP)
  execute_process(COMMAND ${SEVEN_ZIP} l -slt ${ARCHIVE} OUTPUT_VARIABLE listing
                  RESULT_VARIABLE failed)
  # Technical listing: one "Path = <entry>" line per entry.
  string(REGEX MATCHALL "\nPath = [^\r\n]*" paths "${listing}")
  list(TRANSFORM paths REPLACE "^\nPath = " "")
else()
  execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${ARCHIVE} OUTPUT_VARIABLE listing
                  RESULT_VARIABLE failed)
  string(REGEX REPLACE "\r?\n" ";" paths "${listing}")
endif()
if(failed)
  message(FATAL_ERROR "cannot list ${ARCHIVE}")
endif()

string(REPLACE "," ";" entries "${ENTRIES}")
foreach(entry IN LISTS entries)
  if(NOT entry IN_LIST paths)
    message(FATAL_ERROR "${ARCHIVE} lacks ${entry}; it holds: ${paths}")
  endif()
endforeach()
