# The nginx peers' own start and stop, natively (nginx-ctl is a host script).
if(NOT ZK_WINDOWS)
  add_test(NAME nginx_ctl_test
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/peers/nginx-ctl-test ${CMAKE_CURRENT_BINARY_DIR}/nginx-ctl-test ${ZK_PORT_NGINX_CTL})
endif()
