# The zip reader's libFuzzer build (its replay is in zipreader.cmake).
include(${CMAKE_SOURCE_DIR}/cmake/zkfuzz.cmake)

if(ZK_FUZZ AND NOT ZK_WINDOWS)
  add_executable(zipreader_fuzz ${CMAKE_CURRENT_LIST_DIR}/zipreader_fuzz.cpp)
  target_link_libraries(zipreader_fuzz PRIVATE zkzip)
  target_compile_definitions(zipreader_fuzz PRIVATE ZK_LIBFUZZER)
  target_link_options(zipreader_fuzz PRIVATE -fsanitize=fuzzer)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzz-drivers/zipreader.conf
    CONTENT "$<TARGET_FILE:zipreader_fuzz>\n${CMAKE_CURRENT_LIST_DIR}/testdata/zip\n0\n")
endif()
