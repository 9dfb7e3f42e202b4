# One end-to-end run of Quorlin under Wine with an X display (cmake/with-display.sh), in a layout of
# its own:
#   LAYOUT/bin/Quorlin.exe, the language files in LAYOUT/Lang/<ABBR>/ (or in LAYOUT/bin/Lang/ with
#   LANG_INSIDE), and LAYOUT/work as the current directory.
# Parameters:
#   WINE_RUN, WITH_DISPLAY, DRIVER, QUORLIN, LANG_SOURCE (the folder of the language files, one folder per ABBR)
#   LAYOUT      the folder to make (emptied first)
#   LANGS       the abbreviations to install; "ABBR:damaged" installs a damaged file for ABBR
#   LANG_INSIDE ON: the Lang folder inside the program's folder
#   WORK_SETUP  "lrc-junk": an old Quorlin.lrc with other content in the work folder;
#               "lrc-folder": a folder named Quorlin.lrc there, so that the template cannot be made
#   COMMAND     the driver's command and its arguments after the program, separated by "^"
#   EXPECT      a regular expression that the driver's output must match
#   LRC, LRS    files that the work folder's templates must equal byte for byte; "NONE": no such file
# The driver's output must hold no "FAIL" line, and it must end with exit code 0.
file(REMOVE_RECURSE "${LAYOUT}")
file(MAKE_DIRECTORY "${LAYOUT}/bin" "${LAYOUT}/work")
file(COPY "${QUORLIN}" DESTINATION "${LAYOUT}/bin")
set(lang_root "${LAYOUT}/Lang")
if(LANG_INSIDE)
  set(lang_root "${LAYOUT}/bin/Lang")
endif()
string(REPLACE "^" ";" langs "${LANGS}")
foreach(entry ${langs})
  string(REPLACE ":" ";" parts "${entry}")
  list(GET parts 0 abbr)
  file(MAKE_DIRECTORY "${lang_root}/${abbr}")
  if(entry MATCHES ":damaged$")
    file(WRITE "${lang_root}/${abbr}/Quorlin.${abbr}" "<Language><Info Lang_ID=\"1058\"/></Language>")
  else()
    file(COPY "${LANG_SOURCE}/${abbr}/Quorlin.${abbr}" DESTINATION "${lang_root}/${abbr}")
  endif()
endforeach()
if(WORK_SETUP STREQUAL "lrc-junk")
  string(REPEAT "old template " 1000 junk)
  file(WRITE "${LAYOUT}/work/Quorlin.lrc" "${junk}")
  file(WRITE "${LAYOUT}/work/Quorlin.lrs" "${junk}")
elseif(WORK_SETUP STREQUAL "lrc-folder")
  file(MAKE_DIRECTORY "${LAYOUT}/work/Quorlin.lrc")
endif()

string(REPLACE "/" "\\" exe "Z:${LAYOUT}/bin/Quorlin.exe")
string(REPLACE "^" ";" command "${COMMAND}")
list(POP_FRONT command verb)
execute_process(
  COMMAND sh "${WITH_DISPLAY}" "${WINE_RUN}" "${DRIVER}" ${verb} "${exe}" ${command}
  WORKING_DIRECTORY "${LAYOUT}/work"
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 150)
set(problems "")
if(NOT rc STREQUAL "0")
  string(APPEND problems "the driver ended with ${rc}\n")
endif()
if(out MATCHES "(^|\n)FAIL")
  string(APPEND problems "a check failed\n")
endif()
if(DEFINED EXPECT AND NOT out MATCHES "${EXPECT}")
  string(APPEND problems "the output does not match '${EXPECT}'\n")
endif()
foreach(kind LRC LRS)
  string(TOLOWER ${kind} ext)
  set(made "${LAYOUT}/work/Quorlin.${ext}")
  if(${kind} STREQUAL "NONE")
    if(EXISTS "${made}" AND NOT IS_DIRECTORY "${made}")
      string(APPEND problems "Quorlin.${ext} was written\n")
    endif()
  elseif(DEFINED ${kind})
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${made}" "${${kind}}" RESULT_VARIABLE differs)
    if(differs)
      string(APPEND problems "Quorlin.${ext} differs from ${${kind}}\n")
    endif()
  endif()
endforeach()
file(GLOB in_program_folder "${LAYOUT}/bin/*.lr?")
if(in_program_folder)
  string(APPEND problems "templates written into the program's folder: ${in_program_folder}\n")
endif()
if(problems)
  message(FATAL_ERROR "${problems}--- output ---\n${out}--- errors ---\n${err}")
endif()
message("${out}")
