// The fake host: component manager and host plug-ins shared by tests, demo host and benchmark.
