#include "framework/scene.h"

#include "graphics/graphics.h"

std::int32_t ClientWidth = 100;
std::int32_t ClientHeight = 100;

CScene::CScene() : width(ClientWidth), height(ClientHeight) {
    CopyFlagPositions(Flag, FlagPositions.data());
    CopyFlagNormals(Flag, FlagNormals.data());
}

void CScene::Draw(CGraphics* graphics) const {
    graphics->SetColor(1.0f, 0.8f, 0.3f);  // gold
    graphics->DrawString(0.07f, 0.7f, 0.12f, 0.2f, "This feature");
    graphics->DrawString(0.07f, 0.5f, 0.12f, 0.2f, "will be implemented");
    graphics->DrawString(0.07f, 0.3f, 0.12f, 0.2f, "in future versions ...");
}
