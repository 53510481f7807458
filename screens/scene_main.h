#pragma once

#include "framework/scene.h"

/// The main-menu picture: the menu background with the red flag waving on it.
class CSceneMain : public CScene {
public:
    /// Takes the client size and the flag cloth as they are now.
    CSceneMain() = default;

    void Draw(CGraphics* graphics) const override;
};
