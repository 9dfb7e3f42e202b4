# Build rules shared by every target of the project.

# Warnings as errors on our own code; the source paths that assertions report are relative to the
# project root.
function(qrl_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror
    "-fmacro-prefix-map=${PROJECT_SOURCE_DIR}/=")
endfunction()

function(qrl_add_library target)
  add_library(${target} STATIC ${ARGN})
  qrl_target_defaults(${target})
  target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

# An executable of the project. On Windows it carries the program's string table (and whatever .rc
# files are passed with RESOURCES); natively the in-memory table is part of the runtime library.
function(qrl_add_executable target)
  cmake_parse_arguments(ARG "" "" "SOURCES;RESOURCES" ${ARGN})
  set(sources ${ARG_SOURCES})
  if(WIN32)
    list(APPEND sources ${PROJECT_SOURCE_DIR}/Platform/Runtime/ResStrings.rc ${ARG_RESOURCES})
  endif()
  add_executable(${target} ${sources})
  qrl_target_defaults(${target})
  if(WIN32)
    set_property(SOURCE ${PROJECT_SOURCE_DIR}/Platform/Runtime/ResStrings.rc APPEND PROPERTY
      INCLUDE_DIRECTORIES ${PROJECT_SOURCE_DIR}/Platform/Runtime)
    # The resource compiler's dependency scan does not see the table that the script includes.
    set_property(SOURCE ${PROJECT_SOURCE_DIR}/Platform/Runtime/ResStrings.rc APPEND PROPERTY
      OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/Platform/Runtime/ResStringTable.inc)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:RC>:-c65001>)
  endif()
endfunction()
