#include "tests/sound/wave_capture.h"

#include <gtest/gtest.h>

// The players of these tests are heard through OpenAL Soft's file-writing output.
int main(int argc, char** argv) {
    UseWaveWriterOutput();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
