# Two headless players through a bad link of our own (a delaying, dropping, reordering and
# duplicating UDP relay) and the link cut for good.
add_executable(bad_link_relay bad_link_relay.cpp)
target_link_libraries(bad_link_relay PRIVATE brivel_options)

add_executable(bad_link_tests bad_link_test.cpp child_process.cpp free_port.cpp peer_harness.cpp)
target_compile_definitions(bad_link_tests PRIVATE
    BRIVEL_NET_PLAYER="$<TARGET_FILE:net_player>"
    BRIVEL_BAD_LINK_RELAY="$<TARGET_FILE:bad_link_relay>")
target_link_libraries(bad_link_tests PRIVATE brivel_net GTest::gtest_main)
add_dependencies(bad_link_tests net_player bad_link_relay)
gtest_discover_tests(bad_link_tests PROPERTIES TIMEOUT 600)
brivel_label_tests(bad_link_tests integration net)
