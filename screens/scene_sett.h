#pragma once

#include "framework/scene.h"

#include <cstdint>

/// The settings picture: the settings background, a knob on each of the three sliders, the
/// rotate-board switch as "On" or "Off", and the red flag.
class CSceneSett : public CScene {
public:
    /// Takes the client size, the flag cloth and the four settings (SoundVolume, MusicVolume,
    /// MouseSetting, RotateBoard) as they are now.
    CSceneSett();

    void Draw(CGraphics* graphics) const override;

    /// Canvas u of a slider knob for level `level` (0 at the left end, 1 at the right end).
    static float KnobU(double level);

    double sound;         ///< sound-effect level
    double music;         ///< music level
    double mouse;         ///< mouse level
    std::uint8_t rotate;  ///< rotate-board switch, 0 or 1
};
