# Compiles the help file from the sources beside this script:
#   cmake -D CHMCMD=<chmcmd> -D WORK=<folder> -D OUTPUT=<tftpserv.chm> -P CompileHelp.cmake
# The build runs it (help/CMakeLists.txt), and so does the CI job that compiles
# the help file for the Windows job, where no help compiler exists.
cmake_minimum_required(VERSION 3.20)
foreach(required CHMCMD WORK OUTPUT)
  if("${${required}}" STREQUAL "")
    message(FATAL_ERROR "CompileHelp.cmake: ${required} is not set")
  endif()
endforeach()
# Relative paths are taken from the current folder.
get_filename_component(WORK "${WORK}" ABSOLUTE)
get_filename_component(OUTPUT "${OUTPUT}" ABSOLUTE)

# The project, its contents and index, the topics and their style sheet.
file(GLOB sources ${CMAKE_CURRENT_LIST_DIR}/*.hhp ${CMAKE_CURRENT_LIST_DIR}/*.hhc
     ${CMAKE_CURRENT_LIST_DIR}/*.hhk ${CMAKE_CURRENT_LIST_DIR}/*.htm
     ${CMAKE_CURRENT_LIST_DIR}/*.css)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${sources} DESTINATION ${WORK})
execute_process(COMMAND ${CHMCMD} tftpserv.hhp WORKING_DIRECTORY ${WORK}
                OUTPUT_FILE ${WORK}/chmcmd.log ERROR_FILE ${WORK}/chmcmd.log RESULT_VARIABLE failed)
if(failed OR NOT EXISTS ${WORK}/tftpserv.chm)
  file(READ ${WORK}/chmcmd.log log)
  message(FATAL_ERROR "chmcmd failed (${failed}):\n${log}")
endif()
configure_file(${WORK}/tftpserv.chm ${OUTPUT} COPYONLY)
