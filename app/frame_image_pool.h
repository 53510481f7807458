#pragma once

// Threads: Image runs on the rendering thread. An image made by the pool may be copied to and
// let go on any thread: its buffer comes back to the pool under the pool's mutex, which also
// orders the painting of one frame before the reading of a later frame into the same memory.

#include <QImage>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

/// Pixel buffers for the frames the view shows, each reused once the last image over it has
/// gone, so that a frame costs no allocation and is read straight into the memory the view
/// paints from. Keep it in a shared_ptr: images that outlive it free their buffer themselves.
class FrameImagePool final : public std::enable_shared_from_this<FrameImagePool> {
public:
    /// Buffers kept for reuse at most: one shown, one being drawn, one on its way.
    static constexpr std::size_t kKept = 3;

    FrameImagePool();
    ~FrameImagePool();

    /// An RGB32 image of width x height pixels (rows 4 x width bytes apart) over a free buffer
    /// of that size, else a new one; its pixels are whatever the buffer last held. A null image
    /// when width or height is below 1 or there is no memory for it.
    QImage Image(int width, int height);
    /// Buffers waiting for reuse now.
    std::size_t FreeCount() const;

private:
    struct Buffer;
    static void GiveBack(void* buffer);
    void Keep(std::unique_ptr<Buffer> buffer);

    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<Buffer>> free_;
};
