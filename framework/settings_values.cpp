#include "framework/settings_values.h"

// Until the stored values are read at start-up, both volumes are what a first start reads:
// 32768 / 65535, a hair above one half.
constinit double SoundVolume = VolumeFromStored(kDefaultStoredVolume);
constinit double MusicVolume = VolumeFromStored(kDefaultStoredVolume);
double MouseSetting = 0.5;
bool RotateBoard = true;
OpponentLevel ComputerLevel = OpponentLevel::Normal;
