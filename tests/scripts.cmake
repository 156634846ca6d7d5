# The project's own scripts: the source lists of install-deps. Native build
# only: they run no program under Wine.
if(NOT ZK_WINDOWS)
  add_test(NAME enable_deb_src_test
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/scripts/enable-deb-src-test ${CMAKE_SOURCE_DIR}
            ${CMAKE_CURRENT_BINARY_DIR}/enable-deb-src-test)
endif()
