# One static library per source folder: every .cpp file of the folder is part of it, so
# adding a class means adding its file pair and nothing else.
function(game_library name folder)
  cmake_parse_arguments(ARG "RECURSE" "" "DEPS" ${ARGN})
  if(ARG_RECURSE)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.c)
  else()
    file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp ${folder}/*.c)
  endif()
  if(sources)
    add_library(${name} STATIC ${sources})
    set(scope PUBLIC)
  else()
    # A folder whose classes are all header-only so far.
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope} ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} ${scope} ${ARG_DEPS})
endfunction()

# One test program per test folder, its cases registered one by one with CTest.
function(game_test_folder name folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/tools)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "SDL_VIDEODRIVER=offscreen;ALSOFT_DRIVERS=null;GAME_TEST_TMP=${CMAKE_BINARY_DIR}/test-tmp" LABELS ${name})
endfunction()
