# Triple-DES and SEED speed against Crypto++ in the same process.
zk_bench(tdes_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/tdes_bench.cpp LIBS zkcorecipher zktdes cryptopp)
zk_bench(seed_bench SOURCES ${CMAKE_CURRENT_LIST_DIR}/seed_bench.cpp LIBS zkcbdata cryptopp)
