# Read by ctest after the discovered window tests: labels them integration and threaded.
foreach(test IN LISTS window_tests_TESTS)
    set_tests_properties("${test}" PROPERTIES LABELS "integration;threaded")
endforeach()
