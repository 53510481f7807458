#pragma once

#include "game/flag.h"

#include <array>
#include <cstdint>

class CGraphics;

/// Size of the view's client area in pixels, overwritten on every resize of the view.
/// User-interface thread only.
extern std::int32_t ClientWidth;
extern std::int32_t ClientHeight;

/// An immutable description of one complete picture. Made on the user-interface thread by a
/// screen; once queued it belongs to the rendering thread, which draws it and deletes it
/// when a newer scene has been drawn. A plain CScene is the placeholder picture.
class CScene {
public:
    /// Takes the client size and a copy of the flag cloth as they are now.
    CScene();
    CScene(const CScene&) = delete;
    CScene& operator=(const CScene&) = delete;
    virtual ~CScene() = default;

    /// Draws the picture; rendering thread only, between BeginFrame and EndFrame.
    virtual void Draw(CGraphics* graphics) const;

    std::int32_t width;
    std::int32_t height;
    CScene* next = nullptr;  ///< link in the scene queue, newest first
    std::array<float, kFlagPointCount * 3> FlagPositions;
    std::array<float, kFlagPointCount * 3> FlagNormals;
};
