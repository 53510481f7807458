#include "framework/settings_values.h"

#include <cmath>

// Until the stored values are read at start-up, both volumes are what a first start reads:
// 32768 / 65535, a hair above one half.
constinit double SoundVolume = VolumeFromStored(kDefaultStoredVolume);
constinit double MusicVolume = VolumeFromStored(kDefaultStoredVolume);
double MouseSetting = 0.5;
bool RotateBoard = true;
OpponentLevel ComputerLevel = OpponentLevel::Normal;

double MouseTurnFactor() {
    // pow is exact at whole powers: 1 at the middle keeps a drag's arithmetic as it always was.
    return std::pow(4.0, 2 * MouseSetting - 1);
}

double MouseSettingFromStored(std::uint32_t stored) {
    if (stored == 32767 || stored == 32768) return 0.5;
    return VolumeFromStored(stored);
}
