#pragma once

// Threads: LendFrameMemory and PresentFrame run on the rendering thread, one frame after the
// other; Attach on the user-interface thread. Locks: mutex_ guards view_ and lastShownBy_, so
// that once Attach(nullptr) has returned no frame can reach a view that is going away; the lent
// image belongs to the rendering thread. Ownership: the sink outlives the renderer's use of it; the
// view is not owned; the pool is shared with the images it made.

#include "app/frame_image_pool.h"
#include "graphics/frame_sink.h"

#include <QImage>

#include <memory>
#include <mutex>

class CChildView;

/// Lends the renderer an image from its pool for each frame, so that the frame is read
/// straight into the memory the view paints from, and posts the image to the view, which
/// shows it (only the changed part anew, when the frame before reached the same view) and asks
/// for the next paint. Frames read elsewhere are copied into such an image.
class CViewFrameSink final : public CFrameSink {
public:
    /// Frames go to `view` from now on; null drops them.
    void Attach(CChildView* view);
    FrameMemory LendFrameMemory(std::int32_t width, std::int32_t height) override;
    void PresentFrame(const FramePixels& frame) override;

    /// The frame's pixels as a new image, top row first.
    static QImage ImageOf(const FramePixels& frame);
    /// The images' buffers, for looking at their reuse.
    const FrameImagePool& Pool() const { return *pool_; }

private:
    std::mutex mutex_;
    CChildView* view_ = nullptr;
    const CChildView* lastShownBy_ = nullptr;  // the view the frame before went to, if any
    std::shared_ptr<FrameImagePool> pool_ = std::make_shared<FrameImagePool>();
    QImage lent_;  // the image lent for the frame being read back
};
