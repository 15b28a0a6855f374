cmake_minimum_required(VERSION 3.25)
# The folders depend in one direction (platform, common, calculator, correlations, framework,
# module); the host and the contract headers reach only what is listed for them. Fails on the
# first include that breaks the order. Run with -DSOURCE_DIR=<repository>.
set(contract calculator/fluid_state.h calculator/host_fluid.h framework/host_variables.h
             framework/correlation_interface.h)
set(allowed_common common tarvox_platform)
set(allowed_calculator ${allowed_common} calculator)
set(allowed_correlations ${allowed_calculator} correlations)
set(allowed_framework ${allowed_correlations} framework resources)
set(allowed_module ${allowed_framework} module)
set(allowed_host common host tarvox tarvox_platform resources ${contract})
set(allowed_contract tarvox_platform ${contract})

function(check_file file allowed)
  file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^#include \"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
    string(REGEX REPLACE "/.*" "" folder "${included}")
    if(NOT included MATCHES "/")
      continue()  # a file of the same folder
    endif()
    if(NOT folder IN_LIST allowed AND NOT included IN_LIST allowed)
      message(FATAL_ERROR "${file} includes ${included}, which its folder may not reach")
    endif()
  endforeach()
endfunction()

foreach(folder common calculator correlations framework module host)
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.hpp
       ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(file IN LISTS files)
    if(file IN_LIST contract)
      check_file(${file} "${allowed_contract}")
    else()
      check_file(${file} "${allowed_${folder}}")
    endif()
  endforeach()
endforeach()
