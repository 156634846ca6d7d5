# The MinGW-w64 cross-compiler (posix threads variant) for the machine that
# the including toolchain file names in zk_mingw_machine (i686 or x86_64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${zk_mingw_machine})
set(CMAKE_C_COMPILER ${zk_mingw_machine}-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER ${zk_mingw_machine}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${zk_mingw_machine}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${zk_mingw_machine}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The tests run under the Wine of that machine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${zk_mingw_machine})
