# The build as a program that only builds on the suite sees it: configured with the tests off
# and GoogleTest and Google Benchmark unavailable, it must configure and define no target of
# tests/ or bench/; and in a tree with the tests on, the demo's target (all that `./run demo`
# builds) must not stand on any of them. Targets and what they link come from CMake's
# dependency graph (--graphviz), so nothing is built here.
# Variables: SOURCE_DIR, WORK_DIR, GENERATOR.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
include(${CMAKE_CURRENT_LIST_DIR}/RunStep.cmake)
# The names of the targets in a graph file of --graphviz.
function(targets_of file out)
  file(STRINGS ${file} Lines REGEX "label *= *\"")
  set(Names "")
  foreach(Line IN LISTS Lines)
    string(REGEX REPLACE ".*label *= *\"([^\"]*)\".*" "\\1" Name "${Line}")
    list(APPEND Names ${Name})
  endforeach()
  set(${out} ${Names} PARENT_SCOPE)
endfunction()
# Fails when Names hold a target of the tests or the benchmarks, or lack ZopFileDBDemo (then
# the graph did not show the build at all).
function(expect_no_test_targets what)
  set(Names ${ARGN})
  if(NOT "ZopFileDBDemo" IN_LIST Names)
    message(FATAL_ERROR "${what}: the graph does not show the demo program:\n${Names}")
  endif()
  list(FILTER Names INCLUDE REGEX "^(tests_|test_support|fuzz_|bench_|pg_test_cluster|GTest|gtest|gmock|benchmark)")
  if(Names)
    message(FATAL_ERROR "${what} has the targets ${Names}")
  endif()
endfunction()

run("Configuring without the tests and their packages" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/off -G ${GENERATOR}
    -DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
    --graphviz=${WORK_DIR}/off/targets.dot)
targets_of(${WORK_DIR}/off/targets.dot Targets)
expect_no_test_targets("The build without the tests" ${Targets})

run("Configuring with the tests" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/on -G ${GENERATOR} -DBUILD_TESTING=ON
    --graphviz=${WORK_DIR}/on/targets.dot)
targets_of(${WORK_DIR}/on/targets.dot Targets)
if(NOT "tests_library" IN_LIST Targets)
  message(FATAL_ERROR "The build with the tests shows no test target:\n${Targets}")
endif()
targets_of(${WORK_DIR}/on/targets.dot.ZopFileDBDemo DemoNeeds)
expect_no_test_targets("The demo's build" ${DemoNeeds})
