# Helpers shared by the folders' CMake files.

# vekrano_library(<folder> [QT] [SUBFOLDERS] DEPS <targets...>)
# One static library per source folder, named vekrano_<folder>, over every .cpp of the folder
# (and, with SUBFOLDERS, of its subfolders: the parts of one engine). Sources are included as
# "<folder>/<file>.h" or "<folder>/<sub>/<file>.h" from src/.
function(vekrano_library folder)
  cmake_parse_arguments(ARG "QT;SUBFOLDERS" "" "DEPS;SOURCES" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(ARG_SUBFOLDERS)
    file(GLOB part_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/*.cpp)
    list(APPEND sources ${part_sources})
  endif()
  if(NOT sources AND NOT ARG_SOURCES)
    message(STATUS "src/${folder} holds no code yet")
    return()
  endif()
  add_library(vekrano_${folder} STATIC ${sources} ${ARG_SOURCES})
  target_include_directories(vekrano_${folder} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(vekrano_${folder} PUBLIC ${ARG_DEPS})
  if(ARG_QT)
    set_target_properties(vekrano_${folder} PROPERTIES AUTOMOC ON)
  endif()
endfunction()

# vekrano_grammar(<target> <name> <grammar.yy>) and vekrano_scanner(<target> <scanner.re>)
# generate a Bison lalr1.cc parser and an re2c scanner into the build folder.
function(vekrano_grammar target grammar)
  find_package(BISON 3.8 REQUIRED)
  get_filename_component(stem ${grammar} NAME_WE)
  set(gen ${CMAKE_CURRENT_BINARY_DIR}/generated/${stem})
  file(MAKE_DIRECTORY ${gen})
  add_custom_command(
    OUTPUT ${gen}/${stem}.cpp ${gen}/${stem}.hpp ${gen}/location.hh
    COMMAND ${BISON_EXECUTABLE} -Wall -Wcounterexamples --header=${gen}/${stem}.hpp
            -o ${gen}/${stem}.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${grammar}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${grammar} VERBATIM)
  target_sources(${target} PRIVATE ${gen}/${stem}.cpp)
  target_include_directories(${target} PUBLIC ${gen})
endfunction()

function(vekrano_scanner target scanner include_dir)
  find_program(RE2C_EXECUTABLE re2c REQUIRED)
  get_filename_component(stem ${scanner} NAME_WE)
  set(gen ${CMAKE_CURRENT_BINARY_DIR}/generated/${include_dir})
  file(MAKE_DIRECTORY ${gen})
  add_custom_command(
    OUTPUT ${gen}/${stem}.cpp
    COMMAND ${RE2C_EXECUTABLE} -W --no-generation-date --no-version
            -o ${gen}/${stem}.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${scanner}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${scanner} VERBATIM)
  target_sources(${target} PRIVATE ${gen}/${stem}.cpp)
endfunction()

# vekrano_tests(<folder> [QT] DEPS <targets...>)
# One GoogleTest executable per test folder over every .cpp in it, registered with CTest.
# Tests run from the build folder with TEST_DATA_DIR pointing at tests/<folder>/data.
function(vekrano_tests folder)
  cmake_parse_arguments(ARG "QT" "" "DEPS" ${ARGN})
  # A test folder mirrors its src folder, subfolders included: one executable takes them all.
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${folder}_tests ${sources})
  target_link_libraries(${folder}_tests PRIVATE ${ARG_DEPS} vekrano_test_support
                        GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${folder}_tests PRIVATE
                             TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
  if(ARG_QT)
    set_target_properties(${folder}_tests PROPERTIES AUTOMOC ON)
    target_link_libraries(${folder}_tests PRIVATE vekrano_qt_test_support)
  endif()
  # Facts the tests' tables leave behind go to the build folder, never to the user's cache.
  gtest_discover_tests(${folder}_tests
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                                  ENVIRONMENT_MODIFICATION "XDG_CACHE_HOME=set:${CMAKE_BINARY_DIR}/test-cache"
                       DISCOVERY_TIMEOUT 60)
endfunction()

# vekrano_programs(<kind> <folder> DEPS <targets...>)
# Every .cpp of a bench/ or fuzz/ subfolder is one program linked with the folder's library.
function(vekrano_programs kind folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(source ${sources})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_link_libraries(${name} PRIVATE vekrano_${folder} ${ARG_DEPS})
    if(kind STREQUAL "bench")
      target_link_libraries(${name} PRIVATE benchmark::benchmark)
    else()
      target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    endif()
  endforeach()
endfunction()
