#include "app/view_frame_sink.h"

#include "app/child_view.h"

#include <cstring>

void CViewFrameSink::Attach(CChildView* view) {
    std::lock_guard lock(mutex_);
    view_ = view;
}

void CViewFrameSink::PresentFrame(const FramePixels& frame) {
    QImage image = ImageOf(frame);
    std::lock_guard lock(mutex_);
    if (view_ != nullptr) view_->ShowFrameLater(std::move(image));
}

QImage CViewFrameSink::ImageOf(const FramePixels& frame) {
    if (frame.width <= 0 || frame.height <= 0 || frame.topRow == nullptr) return {};
    QImage image(frame.width, frame.height, QImage::Format_RGB32);
    if (image.isNull()) return {};  // no memory for it: this frame is skipped
    auto rowBytes = static_cast<std::size_t>(frame.width) * 4;
    for (std::int32_t y = 0; y < frame.height; ++y)
        std::memcpy(image.scanLine(y), frame.topRow + y * frame.rowStride, rowBytes);
    return image;
}
