# Test rules. GoogleTest comes from Debian's source package, built by the toolchain in use.
set(QRL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${QRL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# A test executable: one CTest test that runs the whole executable, under Wine when cross-built.
# ENVIRONMENT entries (e.g. LANG=ru_RU.UTF-8) are set for that process alone.
# NEEDS_DISPLAY: the executable shows windows; it runs with an X display (cmake/with-display.sh).
function(qrl_add_gtest target)
  cmake_parse_arguments(ARG "NEEDS_DISPLAY" "" "SOURCES;LIBRARIES;RESOURCES;ENVIRONMENT" ${ARGN})
  qrl_add_executable(${target} SOURCES ${ARG_SOURCES} RESOURCES ${ARG_RESOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests/Support)
  # Under Wine a path of the build machine is reached through drive Z:.
  set(report_dir ${CMAKE_BINARY_DIR}/test-reports)
  if(CMAKE_CROSSCOMPILING)
    set(report_dir Z:${report_dir})
  endif()
  set(report --gtest_output=xml:${report_dir}/${target}.xml)
  if(ARG_NEEDS_DISPLAY)
    add_test(NAME ${target} COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/with-display.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
      $<TARGET_FILE:${target}> ${report})
  else()
    add_test(NAME ${target} COMMAND ${target} ${report})
  endif()
  set_tests_properties(${target} PROPERTIES TIMEOUT 300
    ENVIRONMENT "${ARG_ENVIRONMENT}" WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# A test that runs a program of the project as a user runs it (under Wine when cross-built) and checks
# its exit code, its standard output (a file with the exact text, EMPTY, or "MATCHES regex") and its
# standard error (a regular expression, or EMPTY). See cmake/RunTool.cmake.
function(qrl_tool_test name)
  cmake_parse_arguments(ARG "" "TOOL;EXIT;STDOUT;STDERR" "ARGS" ${ARGN})
  string(REPLACE ";" "^" args "${ARG_ARGS}")
  add_test(NAME ${name} COMMAND ${CMAKE_COMMAND}
    "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}" "-DTOOL=$<TARGET_FILE:${ARG_TOOL}>" "-DARGS=${args}"
    -DEXIT=${ARG_EXIT} "-DSTDOUT=${ARG_STDOUT}" "-DSTDERR=${ARG_STDERR}"
    -P ${PROJECT_SOURCE_DIR}/cmake/RunTool.cmake)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "LANG=ru_RU.UTF-8" TIMEOUT 180)
endfunction()
