# The recording log.dll for tests, built beside qvmodule.dll and the test programs, which find it
# there the way the module finds the product's log.dll.
add_library(recording_log SHARED "${CMAKE_CURRENT_LIST_DIR}/recording_log.cpp"
                                 "${CMAKE_CURRENT_LIST_DIR}/recording_log.def")
# Its import library goes to a folder of its own: the demo's log.dll has the same name.
set_target_properties(recording_log PROPERTIES OUTPUT_NAME log PREFIX ""
                      ARCHIVE_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/lib/recording_log")
target_include_directories(recording_log PRIVATE "${CMAKE_SOURCE_DIR}/tests")
qv_strict(recording_log)

# A copy of the module in a folder without log.dll: runs it as on a machine lacking the library.
add_custom_command(TARGET qvmodule POST_BUILD
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${CMAKE_BINARY_DIR}/bin/nolog"
  COMMAND "${CMAKE_COMMAND}" -E copy_if_different "$<TARGET_FILE:qvmodule>" "${CMAKE_BINARY_DIR}/bin/nolog/"
  VERBATIM)

# Every test program gets log.dll built first, including programs that other build.cmake files
# add after this one: hence deferred to the end of the top directory.
function(qv_tests_need_recording_log)
  get_property(targets DIRECTORY "${CMAKE_SOURCE_DIR}" PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE" AND target MATCHES "^test_")
      add_dependencies(${target} recording_log)
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY "${CMAKE_SOURCE_DIR}" CALL qv_tests_need_recording_log)
