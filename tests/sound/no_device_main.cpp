#include "tests/sound/wave_capture.h"

#include <gtest/gtest.h>

// These tests run as on a machine without sound: OpenAL Soft finds no device.
int main(int argc, char** argv) {
    UseNoAudioDevice();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
