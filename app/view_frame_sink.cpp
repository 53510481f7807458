#include "app/view_frame_sink.h"

#include "app/child_view.h"

#include <cstring>

namespace {

// Copies the frame's rows, top first, into `image` of the frame's size.
void CopyRows(const FramePixels& frame, QImage& image) {
    const auto rowBytes = static_cast<std::size_t>(frame.width) * 4;
    for (std::int32_t y = 0; y < frame.height; ++y)
        std::memcpy(image.scanLine(y), frame.topRow + y * frame.rowStride, rowBytes);
}

bool HasPixels(const FramePixels& frame) {
    return frame.width > 0 && frame.height > 0 && frame.topRow != nullptr;
}

// The changed part as the view takes it; null (all of it) when unknown or empty: a frame that
// changed nothing is rare (a screen asking again for the same picture) and is shown whole.
QRect ChangedRect(const FramePixels& frame) {
    if (!frame.changed || frame.changed->width < 1 || frame.changed->height < 1) return {};
    return {frame.changed->x, frame.changed->y, frame.changed->width, frame.changed->height};
}

}  // namespace

void CViewFrameSink::Attach(CChildView* view) {
    std::lock_guard lock(mutex_);
    // Even the same address may be another view by now: the next frame goes whole.
    lastShownBy_ = nullptr;
    view_ = view;
}

FrameMemory CViewFrameSink::LendFrameMemory(std::int32_t width, std::int32_t height) {
    lent_ = pool_->Image(width, height);
    if (lent_.isNull()) return {};
    return {lent_.bits(), static_cast<std::ptrdiff_t>(lent_.bytesPerLine())};
}

void CViewFrameSink::PresentFrame(const FramePixels& frame) {
    QImage image;
    if (!lent_.isNull() && frame.topRow == lent_.constBits()) {
        image = std::move(lent_);
    } else if (HasPixels(frame)) {
        image = pool_->Image(frame.width, frame.height);
        if (!image.isNull()) CopyRows(frame, image);  // no memory for it: this frame is skipped
    }
    lent_ = QImage();
    std::lock_guard lock(mutex_);
    const CChildView* shownBy = lastShownBy_;
    lastShownBy_ = nullptr;
    if (image.isNull() || view_ == nullptr) return;
    // The frame differs from the one before only in its changed part; if that one did not
    // reach this view, the view must show all of it.
    view_->ShowFrameLater(std::move(image), shownBy == view_ ? ChangedRect(frame) : QRect());
    lastShownBy_ = view_;
}

QImage CViewFrameSink::ImageOf(const FramePixels& frame) {
    if (!HasPixels(frame)) return {};
    QImage image(frame.width, frame.height, QImage::Format_RGB32);
    if (image.isNull()) return {};  // no memory for it
    CopyRows(frame, image);
    return image;
}
