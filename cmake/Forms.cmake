# Compiled forms: qrl_add_forms(TARGET target FORMS a.frm b.frm ...) compiles each text definition
# at build time with formc and embeds the result in the executable as an RCDATA resource named after
# its root object's class in capitals (TMainForm gives TMAINFORM). On Windows formc writes a
# resource script that the executable's resources take in; natively it writes a C++ source that adds
# the bytes to the program's in-memory module (os::AddResource). Each form's files are named after
# its definition's file, so the definitions of one target need distinct file names.
#
# formc always runs on the build machine. The Windows build is a cross build, so there formc is
# built a second time, by the host compiler, as a project of its own (tools/formc builds standalone).

if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  set(QRL_FORMC ${CMAKE_BINARY_DIR}/formc-host/formc)
  ExternalProject_Add(formc_host
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools/formc
    BINARY_DIR ${CMAKE_BINARY_DIR}/formc-host
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc
    BUILD_COMMAND ${CMAKE_COMMAND} --build . --target formc
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${QRL_FORMC})
  set(QRL_FORMC_DEPENDS formc_host ${QRL_FORMC})
else()
  set(QRL_FORMC formc)
  set(QRL_FORMC_DEPENDS formc)
endif()

function(qrl_add_forms)
  cmake_parse_arguments(ARG "" "TARGET" "FORMS" ${ARGN})
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${ARG_TARGET}-forms)
  foreach(form ${ARG_FORMS})
    get_filename_component(input ${form} ABSOLUTE)
    get_filename_component(stem ${form} NAME_WE)
    set(binary ${dir}/${stem}.bin)
    if(WIN32)
      set(wrapper ${dir}/${stem}.rc)
      set(option --rc)
    else()
      set(wrapper ${dir}/${stem}.cpp)
      set(option --cpp)
    endif()
    add_custom_command(OUTPUT ${binary} ${wrapper}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND ${QRL_FORMC} ${input} ${binary} ${option} ${wrapper}
      DEPENDS ${input} ${QRL_FORMC_DEPENDS}
      COMMENT "Compiling the form ${form}"
      VERBATIM)
    target_sources(${ARG_TARGET} PRIVATE ${wrapper})
    if(WIN32)
      # The resource compiler's dependency scan does not see the file that the script names.
      set_source_files_properties(${wrapper} PROPERTIES OBJECT_DEPENDS ${binary})
    endif()
  endforeach()
endfunction()
