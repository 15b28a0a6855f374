# Packs the build with CPack, unpacks the archive into a scratch folder and runs the unpacked tool
# as a user would, with a registry of its own: the package must be complete and self-contained.
#
# cmake -DBUILD_DIR=<build folder> -DWORK_DIR=<scratch folder> -DCPACK=<cpack> -DCXX=<C++ compiler>
#       [-DPYTHON=<interpreter>] -P installed_tool_check.cmake
# With PYTHON, the installed Python package is imported from the unpacked tree and computes too.

foreach(required BUILD_DIR WORK_DIR CPACK CXX)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "${required} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

execute_process(COMMAND ${CPACK} -G TGZ --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}/package
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed (${status}):\n${out}")
endif()
file(GLOB archives ${WORK_DIR}/package/*.tar.gz)
list(LENGTH archives archive_count)
if(NOT archive_count EQUAL 1)
  message(FATAL_ERROR "expected one archive, found: ${archives}")
endif()
file(ARCHIVE_EXTRACT INPUT ${archives} DESTINATION ${WORK_DIR}/unpacked)
file(GLOB roots LIST_DIRECTORIES true ${WORK_DIR}/unpacked/*)
list(GET roots 0 root)

# Everything a third-party host and a user need.
foreach(path bin/tarvox lib/tarvox/tarvox lib/tarvox/tarvox.so lib/tarvox/quorix2.so lib/tarvox/TVXELYTE.DLL
        share/tarvox/data/components.csv share/tarvox/data/kij_pr.csv
        include/tarvox/calculator/fluid_state.h include/tarvox/calculator/host_fluid.h
        include/tarvox/framework/host_variables.h include/tarvox/framework/correlation_interface.h
        include/tarvox/tarvox_platform/com_runtime.h)
  if(NOT EXISTS ${root}/${path})
    message(FATAL_ERROR "the package lacks ${path}")
  endif()
endforeach()

# The installed libraries look for each other beside themselves only.
execute_process(COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/../elf/check_run_paths.sh ${root}/lib/tarvox
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "installed run paths:\n${out}")
endif()

# The installed headers alone are enough to compile a host that implements the fluid and drives a
# correlation.
file(WRITE ${WORK_DIR}/third_party_host.cpp [=[
#include "calculator/host_fluid.h"
#include "framework/correlation_interface.h"
static_assert(sizeof(tarvox::FluidState) == 308);
int Calculate(tarvox::ICorrelation* correlation, LONG cookie) { return correlation->Calculate(cookie); }
int Flash(tarvox::IHostFlash* flash, tarvox::FluidState* record) { return flash->Flash(record); }
]=])
execute_process(COMMAND ${CXX} -std=c++20 -Wall -Wextra -Werror -fsyntax-only -I${root}/include/tarvox
                        ${WORK_DIR}/third_party_host.cpp
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the installed headers do not compile on their own:\n${out}")
endif()

set(registry ${WORK_DIR}/registry.json)
function(run_installed_tool output_variable)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env TARVOX_REGISTRY=${registry} ${root}/bin/tarvox ${ARGN}
                  WORKING_DIRECTORY ${WORK_DIR}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "installed `tarvox ${ARGN}` failed (${status}):\n${out}\n${err}")
  endif()
  set(${output_variable} "${out}" PARENT_SCOPE)
endfunction()

run_installed_tool(listing list)
foreach(class ActVolumeFlow RVP_100F TVP_100F PH CO2Loading Exergy)
  if(NOT listing MATCHES "${class}")
    message(FATAL_ERROR "`tarvox list` does not show ${class}:\n${listing}")
  endif()
endforeach()

# The first run registered the module; it must be the installed one, not the build's.
file(READ ${registry} registered)
if(NOT registered MATCHES "lib/tarvox/tarvox.so")
  message(FATAL_ERROR "the installed module was not registered:\n${registered}")
endif()
string(FIND "${registered}" "${BUILD_DIR}/bin/" build_module_at)
if(NOT build_module_at EQUAL -1)
  message(FATAL_ERROR "the installed tool registered the module of the build tree:\n${registered}")
endif()

run_installed_tool(table calc --only MassDensity,TVP_100F,PH)
if(NOT table MATCHES "wellstream")
  message(FATAL_ERROR "`tarvox calc` does not name its stream:\n${table}")
endif()
# Rows carry display names; each must show a number after its unit.
foreach(row "Mass Density +kg/m3 +[0-9]" "True VP at 37.8[^\n]*kPa +[0-9]" "\nPh +[0-9]")
  if(NOT table MATCHES "${row}")
    message(FATAL_ERROR "`tarvox calc` shows no row matching \"${row}\":\n${table}")
  endif()
endforeach()

if(PYTHON)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env TARVOX_REGISTRY=${registry} PYTHONPATH=${root}/lib/python3/dist-packages
            ${PYTHON} -c "import tarvox; assert tarvox.calc('amine', only=['PH'])['PH'] > 0; print(tarvox.__file__)"
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 OR NOT out MATCHES "^${root}/")
    message(FATAL_ERROR "the installed Python package does not compute (${status}):\n${out}\n${err}")
  endif()
endif()

file(REMOVE_RECURSE ${WORK_DIR})
