# The demo host and its log.dll land in their own folder beside a copy of the module,
# so the module finds this log.dll rather than the tests' recording one.
set(QV_DEMO_DIR "${CMAKE_BINARY_DIR}/demo")

add_library(demo_log SHARED "${CMAKE_SOURCE_DIR}/demo/log_dll/demo_log.cpp")
set_target_properties(demo_log PROPERTIES PREFIX "" OUTPUT_NAME log RUNTIME_OUTPUT_DIRECTORY "${QV_DEMO_DIR}")
qv_strict(demo_log)

file(GLOB QV_DEMO_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/demo/host/*.cpp")
if(QV_DEMO_SOURCES)
  add_executable(demo_host ${QV_DEMO_SOURCES})
  set_target_properties(demo_host PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${QV_DEMO_DIR}")
  target_link_libraries(demo_host PRIVATE qv_testing)
  target_link_options(demo_host PRIVATE -municode)
  qv_strict(demo_host)
  add_dependencies(demo_host demo_log qvmodule)
  add_custom_command(TARGET demo_host POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:qvmodule>" "${QV_DEMO_DIR}/qvmodule.dll")
endif()
