# vekrano-sql is started once per statement by scripts and by its users: it must not load the Qt
# libraries, whose loading alone costs more than a small statement does.
# Usage: cmake -DPROGRAM=path/to/vekrano-sql -P check_shell_without_qt.cmake
execute_process(COMMAND readelf --dynamic ${PROGRAM} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "readelf could not read ${PROGRAM}")
endif()
if(NOT dynamic MATCHES "NEEDED")
  message(FATAL_ERROR "no needed library listed for ${PROGRAM}: the check reads nothing")
endif()
if(dynamic MATCHES "libQt6[A-Za-z]*")
  message(FATAL_ERROR "${PROGRAM} loads ${CMAKE_MATCH_0}: something the shell links calls Qt")
endif()
