# Builds and runs the outside project beside this script against the library,
# one of two ways:
#   WAY=package     installs the library's build tree BUILD into WORK and
#                   finds it there with find_package
#   WAY=subproject  adds the source tree SOURCE with add_subdirectory
# CXX is the compiler to use. The program's output must be expected.txt; the
# project's example tools, built there too, must leave what they leave in the
# project, and the code of docs/library.md must compile.
cmake_minimum_required(VERSION 3.20)  # empty list elements are kept
set(here ${CMAKE_CURRENT_LIST_DIR})
file(REMOVE_RECURSE ${WORK})

function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGV}\nended with ${rc}:\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

if(WAY STREQUAL "package")
  run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${WORK}/prefix)
  set(how -DCMAKE_PREFIX_PATH=${WORK}/prefix -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF)
elseif(WAY STREQUAL "subproject")
  set(how -DKX29_SOURCE=${SOURCE})
else()
  message(FATAL_ERROR "WAY must be package or subproject, not '${WAY}'")
endif()
run(${CMAKE_COMMAND} -S ${here} -B ${WORK}/build -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_CXX_COMPILER=${CXX} -DKX29_REPO=${SOURCE} ${how})
run(${CMAKE_COMMAND} --build ${WORK}/build -j2)
run(${WORK}/build/count_kinds ${here}/drawing.TXT)
file(READ ${here}/expected.txt want)
if(NOT out STREQUAL want)
  message(FATAL_ERROR "count_kinds printed\n${out}\nexpected\n${want}")
endif()

# The examples as the CAD program starts them, on the files they are tested
# with in the project.
set(data ${SOURCE}/examples/data)
foreach(case "moved_copy|100 -50|selection.TXT|selection_moved_copy.TXT"
             "mirrored_copy||mirror.TXT|mirror_mirrored_copy.TXT"
             "selection_stats||stats.TXT|hq.TXT"
             "crossings||crossings.TXT|crossings_points.TXT")
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 exe)
  list(GET case 1 args)
  list(GET case 2 in)
  list(GET case 3 want)
  string(REPLACE " " "|" args "${args}")
  run(${CMAKE_COMMAND} -DEXE=${WORK}/build/${exe} -DARGS=${args} -DIN=${data}/${in}
      -DWANT=${data}/${want} -DWORK=${WORK}/run_${exe} -P ${SOURCE}/examples/RunExample.cmake)
endforeach()
