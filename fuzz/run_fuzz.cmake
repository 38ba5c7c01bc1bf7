# Runs the loader fuzz target. MODE=seeds fills WORK/corpus with the seed databases;
# MODE=short fuzzes SECONDS seconds over a fresh copy of the seeds in WORK/corpus-short;
# MODE=regress runs every saved input of REGRESS once. Any crash, leak, hang or
# sanitizer report fails the run.
cmake_minimum_required(VERSION 3.25)

# The saved inputs of REGRESS, without its README.
function(saved_inputs out)
  file(GLOB inputs ${REGRESS}/*)
  list(FILTER inputs EXCLUDE REGEX "/README.md$")
  set(${out} ${inputs} PARENT_SCOPE)
endfunction()

function(fill_seeds dir)
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir})
  if(EXISTS ${DEMO})
    file(COPY_FILE ${DEMO} ${dir}/demo.mdb)
  else()
    message(WARNING "no demo database at ${DEMO}")
  endif()
  execute_process(COMMAND ${ZDGEN} --stations 300 --seed 1 --out ${dir}/gen300.mdb
                  RESULT_VARIABLE rc OUTPUT_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "zdgen failed: ${rc}")
  endif()
  # The sample Access files lie beside the repository; a fresh clone may not have them.
  if(IS_DIRECTORY ${TESTDATA})
    file(GLOB samples ${TESTDATA}/*.mdb ${TESTDATA}/*.accdb)
    foreach(f ${samples})
      get_filename_component(name ${f} NAME)
      file(COPY_FILE ${f} ${dir}/${name})
    endforeach()
  endif()
  # The saved crash inputs are seeds too: what once broke the loader is worth mutating.
  saved_inputs(saved)
  foreach(f ${saved})
    get_filename_component(name ${f} NAME)
    file(COPY_FILE ${f} ${dir}/regress-${name})
  endforeach()
  # Copies keep the mode of their source; the sample files are read-only.
  file(GLOB copied ${dir}/*)
  if(copied)
    file(CHMOD ${copied} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
endfunction()

set(common -rss_limit_mb=4096 -timeout=20 -artifact_prefix=${WORK}/artifacts/)
file(MAKE_DIRECTORY ${WORK}/artifacts)

if(MODE STREQUAL "seeds")
  fill_seeds(${WORK}/corpus)
  message(STATUS "seed corpus in ${WORK}/corpus")
elseif(MODE STREQUAL "short")
  fill_seeds(${WORK}/corpus-short)
  execute_process(COMMAND ${FUZZER} ${common} -dict=${DICT} -max_total_time=${SECONDS}
                          -print_final_stats=1 ${WORK}/corpus-short
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "fuzzing found a fault (exit ${rc}); the input is in ${WORK}/artifacts")
  endif()
elseif(MODE STREQUAL "regress")
  saved_inputs(inputs)
  if(NOT inputs)
    message(STATUS "no saved inputs in ${REGRESS}")
    return()
  endif()
  execute_process(COMMAND ${FUZZER} ${common} ${inputs} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "a saved input fails again (exit ${rc})")
  endif()
else()
  message(FATAL_ERROR "MODE must be seeds, short or regress")
endif()
