#pragma once

// Threads: user-interface thread only (the queue itself hands scenes to its rendering thread).

#include "game/board.h"

#include <cstdint>
#include <memory>

class CRenderQueue;
class CScene;

/// Installs the program's scene queue; null (the start) makes QueueScene discard scenes and
/// PickLocked find nothing. Not owned; uninstall it before it goes.
void SetProgramQueue(CRenderQueue* queue);
/// The installed scene queue, or null.
CRenderQueue* ProgramQueue();

/// Hands `scene` to the program's queue, which owns it from now on.
void QueueScene(std::unique_ptr<CScene> scene);

/// Index of the alive piece under window pixel (x, y) (origin bottom-left), or -1; asks the
/// graphics object under RenderLock. Camera angles in degrees: azimuth, elevation.
std::int32_t PickLocked(const PieceTable& pieces, const double camera[2], std::int32_t x,
                        std::int32_t y);
