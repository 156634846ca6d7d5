# File version information. The choice of translation is pure and built for
# both targets; the reading of version blocks is Windows code.
add_library(zkfileversiontranslation STATIC ${CMAKE_CURRENT_LIST_DIR}/fileversioninfo_translation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fileversioninfo_translation.h)

zk_test(fileversioninfo_translation_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/fileversioninfo_translation_test.cpp
  LIBS zkfileversiontranslation)

if(ZK_WINDOWS AND TARGET zkframework)
  add_library(zkfileversion STATIC ${CMAKE_CURRENT_LIST_DIR}/fileversioninfo_win.cpp ${CMAKE_CURRENT_LIST_DIR}/fileversioninfo.h)
  target_link_libraries(zkfileversion PUBLIC zkfileversiontranslation zkframework version)

  # Small modules that differ only in their version resources, beside the test.
  set(zk_version_data_dir ${CMAKE_CURRENT_BINARY_DIR}/versiondata)
  set(zk_version_data korean two_english british neutral_korean no_translation noversion)
  foreach(data ${zk_version_data})
    set(sources testdata/version/module.c)
    if(NOT data STREQUAL "noversion")
      list(APPEND sources testdata/version/${data}.rc)
    endif()
    add_library(fileversion_testdata_${data} SHARED ${sources})
    set_target_properties(fileversion_testdata_${data} PROPERTIES
      OUTPUT_NAME ${data} PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${zk_version_data_dir})
    list(APPEND zk_version_data_targets fileversion_testdata_${data})
  endforeach()

  zk_test(fileversioninfo_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/fileversioninfo_test.cpp LIBS zkfileversion)
  add_dependencies(fileversioninfo_test ${zk_version_data_targets})
endif()
