# Cross-compiles for 64-bit Windows. This build is for the tests of a machine
# that runs no 32-bit x86 code, where no Wine can run the i686 programs:
# nothing of it ships.
set(zk_mingw_machine x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
