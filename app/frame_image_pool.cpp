#include "app/frame_image_pool.h"

#include <new>

// One buffer and where it goes back to; it travels with the image as its cleanup information.
struct FrameImagePool::Buffer {
    std::weak_ptr<FrameImagePool> pool;
    std::unique_ptr<std::uint8_t[]> pixels;
    int width = 0;
    int height = 0;
};

FrameImagePool::FrameImagePool() = default;
FrameImagePool::~FrameImagePool() = default;

QImage FrameImagePool::Image(int width, int height) {
    if (width < 1 || height < 1) return {};
    std::unique_ptr<Buffer> buffer;
    {
        std::lock_guard lock(mutex_);
        // Buffers of another size are of a window size gone by: they are freed.
        while (!free_.empty() && !buffer) {
            std::unique_ptr<Buffer> candidate = std::move(free_.back());
            free_.pop_back();
            if (candidate->width == width && candidate->height == height) {
                buffer = std::move(candidate);
            }
        }
    }
    if (!buffer) {
        buffer = std::make_unique<Buffer>();
        buffer->pool = weak_from_this();
        // Not zeroed: every frame overwrites all of it.
        const auto bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
        buffer->pixels.reset(new (std::nothrow) std::uint8_t[bytes]);
        if (!buffer->pixels) return {};
        buffer->width = width;
        buffer->height = height;
    }
    Buffer* lent = buffer.release();
    QImage image(lent->pixels.get(), width, height, qsizetype{width} * 4, QImage::Format_RGB32,
                 &GiveBack, lent);
    if (image.isNull()) delete lent;  // Qt refused it (too large) and keeps no cleanup
    return image;
}

std::size_t FrameImagePool::FreeCount() const {
    std::lock_guard lock(mutex_);
    return free_.size();
}

void FrameImagePool::GiveBack(void* info) {
    std::unique_ptr<Buffer> buffer(static_cast<Buffer*>(info));
    if (std::shared_ptr<FrameImagePool> pool = buffer->pool.lock()) pool->Keep(std::move(buffer));
}

void FrameImagePool::Keep(std::unique_ptr<Buffer> buffer) {
    std::lock_guard lock(mutex_);
    if (free_.size() < kKept) free_.push_back(std::move(buffer));
}
