#pragma once

// Threads: PresentFrame runs on the rendering thread; Attach on the user-interface thread.
// Locks: mutex_ guards view_, so that once Attach(nullptr) has returned no frame can reach a
// view that is going away. Ownership: the sink outlives the renderer's use of it; the view is
// not owned.

#include "graphics/frame_sink.h"

#include <QImage>

#include <mutex>

class CChildView;

/// Copies each finished frame into an image and posts it to the view, which shows it and asks
/// for the next paint.
class CViewFrameSink final : public CFrameSink {
public:
    /// Frames go to `view` from now on; null drops them.
    void Attach(CChildView* view);
    void PresentFrame(const FramePixels& frame) override;

    /// The frame's pixels as an image, top row first.
    static QImage ImageOf(const FramePixels& frame);

private:
    std::mutex mutex_;
    CChildView* view_ = nullptr;
};
