# Runs one command-line tool and checks what it did.
#   EMULATOR  program that runs the tool (Wine for the Windows build), may be empty
#   TOOL      the tool's executable
#   ARGS      its arguments, separated by "^"
#   EXIT      the expected exit code
#   STDOUT    a file with the exact expected standard output, "EMPTY", or "MATCHES" followed by a
#             regular expression that the whole output must match
#   STDERR    a regular expression that standard error must match, or "EMPTY"
string(REPLACE "^" ";" args "${ARGS}")
execute_process(COMMAND ${EMULATOR} ${TOOL} ${args}
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 120)
set(problems "")
if(NOT rc STREQUAL EXIT)
  string(APPEND problems "exit code ${rc}, expected ${EXIT}\n")
endif()
if(STDOUT STREQUAL "EMPTY")
  if(NOT out STREQUAL "")
    string(APPEND problems "standard output should be empty\n")
  endif()
elseif(STDOUT MATCHES "^MATCHES (.*)$")
  set(pattern "${CMAKE_MATCH_1}")
  if(NOT out MATCHES "^${pattern}$")
    string(APPEND problems "standard output does not match '${pattern}'\n")
  endif()
else()
  file(READ "${STDOUT}" expected)
  if(NOT out STREQUAL expected)
    string(APPEND problems "standard output differs from ${STDOUT}\n")
  endif()
endif()
if(STDERR STREQUAL "EMPTY")
  if(NOT err STREQUAL "")
    string(APPEND problems "standard error should be empty\n")
  endif()
elseif(NOT err MATCHES "${STDERR}")
  string(APPEND problems "standard error does not match '${STDERR}'\n")
endif()
if(problems)
  message(FATAL_ERROR "${problems}--- stdout ---\n${out}--- stderr ---\n${err}")
endif()
