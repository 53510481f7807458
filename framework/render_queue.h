#pragma once

// Threads: the user-interface thread queues scenes (QueueScene, QueueRepaint) and picks pieces
// (PickLocked); the rendering thread, owned by CRenderQueue, waits on FrameEvent, draws the
// newest queued scene and deletes the older ones, then sleeps 5 ms. The fingerprints and the
// record of the last drawn scene belong to the rendering thread alone.
// Locks: QueueLock guards PendingScene and newestRepaint_ only (not the scenes' next fields).
// RenderLock guards the one drawing context: the rendering thread holds it for BeginFrame,
// Draw and EndFrame, the user-interface thread for PickPiece. The two are never held together.
// Ownership: a scene belongs to whoever made it until QueueScene or QueueRepaint takes it; from
// then on it belongs to the rendering thread, which deletes every scene behind the head once
// the head has been drawn (or, for a repaint of the same picture, has taken the drawn scene's
// place). The drawn head stays queued until a newer scene has been drawn. At the end the
// destructor stops the thread after its current frame, joins it and deletes every queued scene.

#include "framework/auto_reset_event.h"
#include "framework/scene_fingerprint.h"
#include "game/board.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

class CGraphics;
class CScene;

/// The hand-over of pictures from the user-interface thread to the rendering thread, and the
/// one lock that guards the drawing context.
class CRenderQueue {
public:
    /// Starts the rendering thread, which draws with `graphics`; `graphics` must outlive this.
    explicit CRenderQueue(CGraphics& graphics);
    CRenderQueue(const CRenderQueue&) = delete;
    CRenderQueue& operator=(const CRenderQueue&) = delete;
    /// Lets the frame being drawn finish, stops the thread and deletes every queued scene.
    ~CRenderQueue();

    /// Links `scene` in front of the queue and wakes the rendering thread; the queue owns it
    /// from now on. A null scene (one that could not be made) links nothing but still wakes it.
    void QueueScene(std::unique_ptr<CScene> scene);
    /// Queues `scene` like QueueScene, for a repaint of the view: if it is still the newest
    /// when the rendering thread wakes and shows the same picture as the last frame drawn, no
    /// frame is drawn for it (it takes the drawn scene's place). An idle view's repaints thus
    /// cost no frames, while any change is drawn at once.
    void QueueRepaint(std::unique_ptr<CScene> scene);

    /// Index of the alive piece under window pixel (x, y) (origin bottom-left), or -1; asks
    /// the graphics object while holding RenderLock. User-interface thread.
    std::int32_t PickLocked(const PieceTable& pieces, const double camera[2], std::int32_t x,
                            std::int32_t y);

private:
    void Link(std::unique_ptr<CScene> scene, bool isRepaint);
    void RenderThreadProc();
    void DrawNewestScene();
    void DrawFrame(const CScene& scene);
    static void DeleteChain(CScene* first);

    CGraphics& graphics_;
    // The event, the two locks and the queue's head keep the game's own names.
    AutoResetEvent FrameEvent;
    std::mutex QueueLock;
    std::mutex RenderLock;
    CScene* PendingScene = nullptr;      ///< newest first, linked through next
    CScene* newestRepaint_ = nullptr;    // PendingScene when it came through QueueRepaint
    const CScene* drawnHead_ = nullptr;  // the head whose picture the last frame shows
    SceneFingerprint drawnPrint_;        // the fingerprint of that picture
    SceneFingerprint headPrint_;         // scratch for the head being looked at
    std::atomic<bool> stopRequested_{false};
    std::thread thread_;  // last, so that it starts after everything it uses
};
