# Fails when a source of an engine folder includes a Qt header.
foreach(folder common dbase sql backup)
  file(GLOB_RECURSE files ${SOURCE_DIR}/src/${folder}/*.h ${SOURCE_DIR}/src/${folder}/*.cpp
       ${SOURCE_DIR}/src/${folder}/*.yy ${SOURCE_DIR}/src/${folder}/*.re)
  foreach(f ${files})
    file(STRINGS ${f} hits REGEX "#[ \t]*include[ \t]*[<\"]Q")
    if(hits)
      message(FATAL_ERROR "${f} includes Qt: ${hits}")
    endif()
  endforeach()
endforeach()
