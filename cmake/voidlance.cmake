# voidlance_library(<name> <dir> <dependencies...>)
# A static library from every .cpp under <dir>; header-only while there is none.
function(voidlance_library name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_compile_options(${name} PRIVATE ${VOIDLANCE_COMPILE_OPTIONS})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# voidlance_test_suite(<name> <dir> <dependencies...>)
# One GoogleTest executable from every .cpp under tests/<dir>, run from
# VOIDLANCE_TEST_WORKING_DIRECTORY, where build/assets resolves as it does for
# the game. Listing its tests under Wine may take far longer than natively.
function(voidlance_test_suite name dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*.cpp)
  if(WIN32 AND VOIDLANCE_LINUX_ONLY_TESTS)
    list(FILTER sources EXCLUDE REGEX "${VOIDLANCE_LINUX_ONLY_TESTS}")
  endif()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_compile_options(${name} PRIVATE ${VOIDLANCE_COMPILE_OPTIONS})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE test_support GTest::gtest_main GTest::gmock ${ARGN})
  add_dependencies(${name} assets)
  if(TARGET test_files)
    add_dependencies(${name} test_files)
  endif()
  set(discovery_timeout 5)
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(discovery_timeout 120)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${VOIDLANCE_TEST_WORKING_DIRECTORY}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT ${discovery_timeout}
    PROPERTIES ENVIRONMENT "SDL_VIDEO_DRIVER=dummy;SDL_RENDER_DRIVER=software")
endfunction()
