# The character rule of the addresses that follow a trusted root: pure, built
# for both targets; the starter's and the update wizard's tests cover it.
add_library(zkurltext STATIC ${CMAKE_CURRENT_LIST_DIR}/zkurltext.cpp ${CMAKE_CURRENT_LIST_DIR}/zkurltext.h)
