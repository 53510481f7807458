#include "screens/scene_main.h"

#include "graphics/graphics.h"

void CSceneMain::Draw(CGraphics* graphics) const {
    graphics->DrawBackground(0);
    graphics->DrawFlag(0.714f, 0.31f, 0.715f, FlagPositions.data(), FlagNormals.data(), true);
}
