# Configures and builds the fuzz targets as their own project with clang++ (run by the
# fuzz_build test with cmake -P). Also makes the folders the fuzz runs write into.
foreach(var SOURCE_DIR BINARY_DIR COMPILER GENERATOR TARGETS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "BuildFuzzers.cmake needs -D${var}=...")
  endif()
endforeach()

execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR} -G ${GENERATOR}
          -DCMAKE_CXX_COMPILER=${COMPILER} -DCMAKE_BUILD_TYPE=
  RESULT_VARIABLE configured)
if(NOT configured EQUAL 0)
  message(FATAL_ERROR "Configuring the fuzz targets failed")
endif()

execute_process(
  COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} -j 2
  RESULT_VARIABLE built)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "Building the fuzz targets failed")
endif()

file(MAKE_DIRECTORY ${BINARY_DIR}/artifacts)
string(REPLACE "," ";" TARGETS "${TARGETS}")  # comma-separated on the command line
foreach(target ${TARGETS})
  file(MAKE_DIRECTORY ${BINARY_DIR}/work/${target})
endforeach()
