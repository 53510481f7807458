#include "screens/scene_sett.h"

#include "framework/settings_values.h"
#include "graphics/graphics.h"
#include "screens/scene_text.h"

CSceneSett::CSceneSett()
    : sound(SoundVolume), music(MusicVolume), mouse(MouseSetting), rotate(RotateBoard) {}

float CSceneSett::KnobU(double level) {
    // The slider runs from u = 0.35 to 0.58; the constants are single-precision values taken
    // into double arithmetic, so that knob positions come out the same to the last bit.
    return static_cast<float>(level * static_cast<double>(0.23f) + static_cast<double>(0.35f));
}

void CSceneSett::Draw(CGraphics* graphics) const {
    graphics->DrawBackground(1);
    SetSceneColor(*graphics, kRedArmyOrange);
    graphics->DrawMarker(KnobU(sound), 0.67f);
    graphics->DrawMarker(KnobU(music), 0.58f);
    graphics->DrawMarker(KnobU(mouse), 0.49f);
    graphics->DrawString(0.51f, 0.38f, 0.05f, 0.06f, rotate != 0 ? "On" : "Off");
    graphics->DrawFlag(0.714f, 0.31f, 0.715f, FlagPositions.data(), FlagNormals.data(), true);
}
