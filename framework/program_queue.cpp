#include "framework/program_queue.h"

#include "framework/render_queue.h"
#include "framework/scene.h"

namespace {
CRenderQueue* Queue = nullptr;
}

void SetProgramQueue(CRenderQueue* queue) {
    Queue = queue;
}

CRenderQueue* ProgramQueue() {
    return Queue;
}

void QueueScene(std::unique_ptr<CScene> scene) {
    if (Queue != nullptr) Queue->QueueScene(std::move(scene));
}

std::int32_t PickLocked(const PieceTable& pieces, const double camera[2], std::int32_t x,
                        std::int32_t y) {
    if (Queue == nullptr) return -1;
    return Queue->PickLocked(pieces, camera, x, y);
}
