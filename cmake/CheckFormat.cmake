# Fails when a source file of the project does not follow .clang-format.
#   ROOT  the project root;  CLANG_FORMAT  the formatter
set(files "")
foreach(dir app Platform Shared tools tests bench fuzz)
  file(GLOB_RECURSE found "${ROOT}/${dir}/*.cpp" "${ROOT}/${dir}/*.h")
  list(APPEND files ${found})
endforeach()
list(LENGTH files count)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
  RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "files not formatted as .clang-format says (run clang-format -i on them):\n${err}")
endif()
message(STATUS "${count} files follow .clang-format")
