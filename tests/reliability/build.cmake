# Scenarios shared by the quick tests (test_reliability) and the longer reliability program.
file(GLOB QV_RELIABILITY_SCENARIOS CONFIGURE_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/scenarios/*.cpp")
add_library(reliability_scenarios STATIC ${QV_RELIABILITY_SCENARIOS})
target_include_directories(reliability_scenarios PUBLIC "${CMAKE_CURRENT_LIST_DIR}/scenarios")
target_link_libraries(reliability_scenarios PUBLIC qv_testing psapi)
qv_strict(reliability_scenarios)

# The host process that the crash scenario starts and kills.
add_executable(reliability_child "${CMAKE_CURRENT_LIST_DIR}/child/reliability_child.cpp")
target_link_libraries(reliability_child PRIVATE reliability_scenarios)
target_link_options(reliability_child PRIVATE -municode)
add_dependencies(reliability_child qvmodule recording_log)
qv_strict(reliability_child)

target_link_libraries(test_reliability PRIVATE reliability_scenarios)
add_dependencies(test_reliability reliability_child)

# Longer runs of the same scenarios with their figures printed; not run by ctest.
add_executable(reliability_program "${CMAKE_CURRENT_LIST_DIR}/program/reliability_program.cpp")
target_link_libraries(reliability_program PRIVATE reliability_scenarios)
add_dependencies(reliability_program qvmodule recording_log reliability_child)
qv_strict(reliability_program)
