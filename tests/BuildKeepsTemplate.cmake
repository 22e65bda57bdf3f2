# Configures the project afresh in SCRATCH and builds the target that places the default
# template: an edited Template.txt must survive a re-configure and a rebuild, and a deleted one
# must come back. Usage: cmake -DSOURCE_DIR=<tree> -DSCRATCH=<folder> -DGENERATOR=<name>
#                              -P BuildKeepsTemplate.cmake
set(template "${SCRATCH}/Template.txt")
file(READ "${SOURCE_DIR}/Template.txt" default)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGN}")
  endif()
endfunction()

function(configure_and_build)
  run(${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${SCRATCH}" -G "${GENERATOR}")
  run(${CMAKE_COMMAND} --build "${SCRATCH}" --target brindlewick_default_template)
endfunction()

function(expect_template expected when)
  file(READ "${template}" actual)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${when}: Template.txt holds\n${actual}")
  endif()
endfunction()

file(REMOVE_RECURSE "${SCRATCH}")
configure_and_build()
expect_template("${default}" "after the first build")

file(WRITE "${template}" "my own template {0}\n")
configure_and_build()
expect_template("my own template {0}\n" "after a re-configure and a rebuild")

file(REMOVE "${template}")
run(${CMAKE_COMMAND} --build "${SCRATCH}" --target brindlewick_default_template)
expect_template("${default}" "after deleting it and building")

file(REMOVE_RECURSE "${SCRATCH}")
