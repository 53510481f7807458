#include "framework/render_queue.h"

#include "framework/scene.h"
#include "framework/thread_priority.h"
#include "graphics/graphics.h"

#include <chrono>
#include <pthread.h>

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
    Link(std::move(scene), false);
}

void CRenderQueue::QueueRepaint(std::unique_ptr<CScene> scene) {
    Link(std::move(scene), true);
}

void CRenderQueue::Link(std::unique_ptr<CScene> scene, bool isRepaint) {
    if (scene) {
        std::lock_guard lock(QueueLock);
        scene->next = PendingScene;
        PendingScene = scene.release();
        newestRepaint_ = isRepaint ? PendingScene : nullptr;
    }
    FrameEvent.Set();
}

std::int32_t CRenderQueue::PickLocked(const PieceTable& pieces, const double camera[2],
                                      std::int32_t x, std::int32_t y) {
    std::lock_guard lock(RenderLock);
    return graphics_.PickPiece(pieces, camera, x, y);
}

void CRenderQueue::RenderThreadProc() {
    // Named, so that a look at the process's threads tells drawing from the rest.
    pthread_setname_np(pthread_self(), "brivel-render");
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
    bool isRepaint;
    {
        std::lock_guard lock(QueueLock);
        head = PendingScene;
        isRepaint = head != nullptr && head == newestRepaint_;
    }
    // Nothing new since the last frame: a wake-up without a scene, or one for a scene that
    // the previous wake-up already drew.
    if (head == nullptr || head == drawnHead_) return;
    headPrint_.Take(*head);
    // Scenes the screens queue are always drawn; a repaint only when its picture changed.
    if (!isRepaint || !(headPrint_ == drawnPrint_)) DrawFrame(*head);
    drawnPrint_.Swap(headPrint_);
    drawnHead_ = head;
    // No QueueLock needed: the user-interface thread only links new scenes in front of the
    // head and never reads or writes a next field behind it.
    DeleteChain(head->next);
    head->next = nullptr;
}

void CRenderQueue::DrawFrame(const CScene& scene) {
    std::lock_guard lock(RenderLock);
    graphics_.BeginFrame(scene.width, scene.height);
    scene.Draw(&graphics_);
    graphics_.EndFrame();
}

void CRenderQueue::DeleteChain(CScene* first) {
    while (first != nullptr) {
        CScene* following = first->next;
        delete first;
        first = following;
    }
}
