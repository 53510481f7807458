# The wire format seen from outside the game: an independent client in Python, and hostile
# packets against the network play screen (a seeded run in the suite, a libFuzzer target apart).

# The Python client of Debian's ENet binding against the headless host.
add_executable(python_client_tests python_client_test.cpp child_process.cpp free_port.cpp)
target_compile_definitions(python_client_tests PRIVATE
    BRIVEL_NET_PLAYER="$<TARGET_FILE:net_player>"
    BRIVEL_PYTHON_CLIENT="${CMAKE_CURRENT_SOURCE_DIR}/python_client.py")
target_link_libraries(python_client_tests PRIVATE brivel_game brivel_options GTest::gtest_main)
add_dependencies(python_client_tests net_player)
gtest_discover_tests(python_client_tests)
brivel_label_tests(python_client_tests integration net)

# Hostile packets against the real ScreenPlayN, windowless: the seeded run of the suite.
add_library(brivel_packet_fuzz STATIC packet_fuzz.cpp)
target_link_libraries(brivel_packet_fuzz PUBLIC brivel_screens brivel_net)

add_executable(packet_fuzz_tests packet_fuzz_test.cpp)
target_link_libraries(packet_fuzz_tests PRIVATE brivel_packet_fuzz GTest::gtest_main)
gtest_discover_tests(packet_fuzz_tests)
brivel_label_tests(packet_fuzz_tests integration net)

# The coverage-guided fuzzer: only in a clang build made by tools/fuzz_network.sh.
option(BRIVEL_FUZZ "Build the libFuzzer target network_fuzz (clang only)" OFF)
if(BRIVEL_FUZZ)
    add_executable(network_fuzz network_fuzz.cpp)
    target_link_libraries(network_fuzz PRIVATE brivel_packet_fuzz)
    target_link_options(network_fuzz PRIVATE -fsanitize=fuzzer)
    # Every tick waves the flag, which no packet reaches and which costs more than all else a
    # tick does; uninstrumented, it lets the fuzzer run several times as many inputs.
    set_source_files_properties(${PROJECT_SOURCE_DIR}/game/flag.cpp
                                DIRECTORY ${PROJECT_SOURCE_DIR}/game
                                PROPERTIES COMPILE_OPTIONS -fno-sanitize=all)
endif()
