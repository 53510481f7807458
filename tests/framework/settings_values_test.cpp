#include "framework/settings_values.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsValues, StartAsAFirstStartReadsThem) {
    // Both volumes are 32768 / 65535 (a hair above one half), the mouse at half, the board
    // turning.
    EXPECT_EQ(SoundVolume, 32768 / 65535.0);
    EXPECT_EQ(MusicVolume, 32768 / 65535.0);
    EXPECT_GT(SoundVolume, 0.5);
    EXPECT_EQ(MouseSetting, 0.5);
    EXPECT_TRUE(RotateBoard);
}

TEST(SettingsValues, VolumeIsTheStoredValueOverItsFullScale) {
    // The conversion alone: 65535 is full level and twice it twice the level (reading the
    // settings cuts a stored value to 0 to 65535 before it gets here).
    EXPECT_EQ(VolumeFromStored(131070), 2.0);
    EXPECT_EQ(VolumeFromStored(65535), 1.0);
    EXPECT_EQ(VolumeFromStored(0), 0.0);
}

}  // namespace
