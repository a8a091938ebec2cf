# The benchmark: prints timing figures of the module's hot paths. Built for x86_64 only and run
# by hand (build/x86_64/bin/qv_bench.exe under wine); the tests do not run it.
if(QV_ARCH STREQUAL "x86_64")
  file(GLOB QV_BENCH_SOURCES CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/bench/*.cpp")
  add_executable(qv_bench ${QV_BENCH_SOURCES})
  target_include_directories(qv_bench PRIVATE "${CMAKE_SOURCE_DIR}/bench")
  target_link_libraries(qv_bench PRIVATE qv_testing)
  qv_strict(qv_bench)
endif()
