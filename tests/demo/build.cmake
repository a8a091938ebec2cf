# The demo test runs the demo host as a child process: build it first. The demo and the
# assistant's tests both use the real autologger key "halvex", so they never run together.
add_dependencies(test_demo demo_host)
set_tests_properties(demo trace_logging PROPERTIES RESOURCE_LOCK autologger_halvex)
