#include "app/render_queue.h"

#include "app/scene.h"
#include "app/thread_priority.h"
#include "graphics/graphics.h"

#include <chrono>

CRenderQueue::CRenderQueue(CGraphics& graphics)
    : graphics_(graphics), thread_([this] { RenderThreadProc(); }) {}

CRenderQueue::~CRenderQueue() {
    // A stop request rather than a forced end: the thread finishes the frame it is drawing,
    // so it never dies holding the drawing context.
    stopRequested_.store(true);
    FrameEvent.Set();
    thread_.join();
    std::lock_guard lock(QueueLock);
    DeleteChain(PendingScene);
    PendingScene = nullptr;
}

void CRenderQueue::QueueScene(std::unique_ptr<CScene> scene) {
    if (scene) {
        std::lock_guard lock(QueueLock);
        scene->next = PendingScene;
        PendingScene = scene.release();
    }
    FrameEvent.Set();
}

std::int32_t CRenderQueue::PickLocked(const PieceTable& pieces, const double camera[2],
                                      std::int32_t x, std::int32_t y) {
    std::lock_guard lock(RenderLock);
    return graphics_.PickPiece(pieces, camera, x, y);
}

void CRenderQueue::RenderThreadProc() {
    RaiseCurrentThreadPriority();
    for (;;) {
        FrameEvent.Wait();
        if (stopRequested_.load()) return;
        DrawNewestScene();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void CRenderQueue::DrawNewestScene() {
    CScene* head;
    {
        std::lock_guard lock(QueueLock);
        head = PendingScene;
    }
    if (head == nullptr) return;
    {
        std::lock_guard lock(RenderLock);
        graphics_.BeginFrame(head);
        head->Draw(&graphics_);
        graphics_.EndFrame();
    }
    // No QueueLock needed: the user-interface thread only links new scenes in front of the
    // head and never reads or writes a next field behind it.
    DeleteChain(head->next);
    head->next = nullptr;
}

void CRenderQueue::DeleteChain(CScene* first) {
    while (first != nullptr) {
        CScene* following = first->next;
        delete first;
        first = following;
    }
}
