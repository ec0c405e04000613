# Compares the defined dynamic symbols of LIBRARY with the names listed in EXPECTED.
# Usage: cmake -DNM=nm -DLIBRARY=lib.so -DEXPECTED=list.txt -P check_exports.cmake
execute_process(COMMAND ${NM} -D --defined-only --format=posix ${LIBRARY}
  OUTPUT_VARIABLE out RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${out}")
set(found "")
foreach(line IN LISTS lines)
  string(REGEX MATCH "^[^ ]+" name "${line}")
  # Linker-made section markers are not exports of ours.
  if(name AND NOT name MATCHES "^(_init|_fini|_edata|_end|__bss_start)$")
    list(APPEND found ${name})
  endif()
endforeach()
list(SORT found)
file(STRINGS ${EXPECTED} expected)
list(SORT expected)
if(NOT found STREQUAL expected)
  message(FATAL_ERROR "exported symbols of ${LIBRARY}:\n  ${found}\nexpected:\n  ${expected}")
endif()
message(STATUS "exports of ${LIBRARY} as expected")
