# The nginx peers' own start and stop, natively (nginx-ctl is a host script).
if(NOT ZK_WINDOWS)
  math(EXPR zk_nginx_ctl_port "${ZK_PORT_BASE} + 12")
  add_test(NAME nginx_ctl_test
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/peers/nginx-ctl-test ${CMAKE_CURRENT_BINARY_DIR}/nginx-ctl-test ${zk_nginx_ctl_port})
endif()
