# Cross-compiles for 32-bit Windows: the programs that ship.
set(zk_mingw_machine i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
