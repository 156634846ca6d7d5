# Fuzz drivers: zk_fuzz_driver(name SOURCES ... LIBS ... CORPUS folder [MAX_LEN n])
#
# Every driver defines LLVMFuzzerTestOneInput. The ordinary native build links
# it with the shared replay main of tests/support into <name>_replay, which
# CTest runs over the committed corpus; a build configured with ZK_FUZZ (clang,
# see scripts/fuzz) links it with libFuzzer into <name>_fuzz and notes the
# driver's corpus and input cap for the script. Both link the test-support
# library.
include_guard(GLOBAL)

option(ZK_FUZZ "Build the libFuzzer drivers (clang only)" OFF)

function(zk_fuzz_driver name)
  cmake_parse_arguments(F "" "CORPUS;MAX_LEN" "SOURCES;LIBS" ${ARGN})
  if(ZK_WINDOWS)
    return()
  endif()
  if(NOT F_MAX_LEN)
    set(F_MAX_LEN 0)
  endif()
  if(ZK_FUZZ)
    add_executable(${name}_fuzz ${F_SOURCES})
    target_link_libraries(${name}_fuzz PRIVATE ${F_LIBS} zktestsupport)
    target_compile_definitions(${name}_fuzz PRIVATE ZK_LIBFUZZER)
    target_link_options(${name}_fuzz PRIVATE -fsanitize=fuzzer)
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzz-drivers/${name}.conf
      CONTENT "$<TARGET_FILE:${name}_fuzz>\n${F_CORPUS}\n${F_MAX_LEN}\n")
  endif()
  add_executable(${name}_replay ${F_SOURCES})
  target_link_libraries(${name}_replay PRIVATE ${F_LIBS} zktestsupport_replay)
  add_test(NAME ${name}_replay COMMAND ${name}_replay ${F_CORPUS})
  set_tests_properties(${name}_replay PROPERTIES TIMEOUT 300)
endfunction()
