# Benchmark of the run-parameter hand-over between two processes (Windows build, run under Wine).
if(ZK_WINDOWS)
  add_executable(runparam_bench ${CMAKE_CURRENT_LIST_DIR}/runparam_bench.cpp)
  target_link_libraries(runparam_bench PRIVATE zkrunparam_wizard psapi)
  add_dependencies(runparam_bench runparam_receiver)
  # Beside the receiver test peer that it starts.
  set_target_properties(runparam_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endif()
