# GoogleTest: the system's on Linux; built from Debian's googletest sources for the
# cross builds, whose tests run under wine.
if(NOT MFP_PRODUCT_ONLY)
  enable_testing()
  if(CMAKE_CROSSCOMPILING)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

# mfp_test_timeout(TEST SECONDS): the test's timeout. Under wine, the launcher (scripts/wine_run.sh)
# ends a program still running 15 seconds before it and names the processes holding its output,
# which the test runner's own timeout would not.
function(mfp_test_timeout test seconds)
  math(EXPR deadline "${seconds} - 15")
  set_tests_properties(${test} PROPERTIES TIMEOUT ${seconds}
    ENVIRONMENT_MODIFICATION "MFP_WINE_DEADLINE=set:${deadline}")
endfunction()

# mfp_add_gtest(NAME SOURCES file... LIBS lib... [LABELS label...] [ARGS argument...])
# One test program per call, registered with CTest (through wine when cross compiling).
function(mfp_add_gtest name)
  if(MFP_PRODUCT_ONLY)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;ARGS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} ${ARG_ARGS})
  mfp_test_timeout(${name} 300)
  set_tests_properties(${name} PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  # The ThreadSanitizer run builds only the thread tests (target tsan_tests).
  if("tsan" IN_LIST ARG_LABELS)
    if(NOT TARGET tsan_tests)
      add_custom_target(tsan_tests)
    endif()
    add_dependencies(tsan_tests ${name})
  endif()
endfunction()

# Adds every immediate subfolder of the calling folder that has its own CMakeLists.txt.
function(mfp_add_subfolders)
  file(GLOB children LIST_DIRECTORIES true CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
       ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT children)
  foreach(child IN LISTS children)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()
