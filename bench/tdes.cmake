# Triple-DES speed against Crypto++ (run on request, not a test).
add_executable(tdes_bench ${CMAKE_CURRENT_LIST_DIR}/tdes_bench.cpp)
target_link_libraries(tdes_bench PRIVATE zkcorecipher zktdes cryptopp)
