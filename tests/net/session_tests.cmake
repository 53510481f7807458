# The network session, the network play screen and two machines as two processes.
find_package(GTest REQUIRED)
include(GoogleTest)

# The headless player: one machine of a network game, driven by scripted flicks.
add_executable(net_player net_player.cpp)
target_link_libraries(net_player PRIVATE brivel_screens brivel_net)
# Every library on its link line is recorded as needed, used or not, so that the test below
# sees what the screens and the session bring along.
target_link_options(net_player PRIVATE -Wl,--no-as-needed)

add_executable(two_machines_tests
    child_process.cpp
    free_port.cpp
    two_machines_test.cpp
)
target_compile_definitions(two_machines_tests PRIVATE
    BRIVEL_NET_PLAYER="$<TARGET_FILE:net_player>")
target_link_libraries(two_machines_tests PRIVATE brivel_net GTest::gtest_main)
add_dependencies(two_machines_tests net_player)
gtest_discover_tests(two_machines_tests PROPERTIES LABELS "integration;net")

add_executable(net_session_tests session_test.cpp)
target_link_libraries(net_session_tests PRIVATE brivel_screens brivel_net brivel_test_fakes
                                                GTest::gtest_main)
gtest_discover_tests(net_session_tests PROPERTIES LABELS "unit;net")
include(wire_checks.cmake)

# The screens and the network session play without a window: a program made of them alone (the
# driver here, the network fuzzer) carries no window system, OpenGL or sound library.
add_test(NAME screens_need_no_window
         COMMAND sh -c "! readelf -d '$<TARGET_FILE:net_player>' | grep -E 'NEEDED.*(Qt|libGL|libEGL|libOpenGL|openal)'")
set_tests_properties(screens_need_no_window PROPERTIES LABELS unit)
