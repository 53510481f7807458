#include "app/child_view.h"

#include "app/commands.h"
#include "framework/program_queue.h"
#include "framework/render_queue.h"
#include "framework/scene.h"
#include "framework/screen.h"
#include "framework/settings_store.h"

#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace {

struct ViewPixel {
    std::int32_t x;
    std::int32_t y;
};

ViewPixel PixelOf(const QMouseEvent* event) {
    QPointF p = event->position();
    return {static_cast<std::int32_t>(std::floor(p.x())),
            static_cast<std::int32_t>(std::floor(p.y()))};
}

// The screens take the wheel as a signed 16-bit amount; a fast wheel's sum is clamped to it.
std::int16_t WheelDelta(int delta) {
    constexpr int kLow = std::numeric_limits<std::int16_t>::min();
    constexpr int kHigh = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(delta < kLow ? kLow : (delta > kHigh ? kHigh : delta));
}

}  // namespace

CChildView::CChildView(QWidget* parent) : QWidget(parent) {
    // The view paints every pixel itself; nothing is erased before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    CurrentScreen->Activate();
    SetCaptureView(this);
}

CChildView::~CChildView() {
    SetCaptureView(nullptr);
}

bool CChildView::OnCommand(int command) {
    if (command != kCommandBack) return false;
    CurrentScreen->OnBack();
    return true;
}

void CChildView::ShowFrame(QImage frame, QRect changed) {
    // Outside the changed part the view already shows these pixels, if the frame before was
    // of the same size. Parts asked for before the next paint add up.
    const bool isPart = !changed.isNull() && frame.size() == frame_.size();
    frame_ = std::move(frame);
    if (!isPart) return update();
    // The frame lies in the view's bottom-left corner.
    update(changed.translated(0, height() - frame_.height()));
}

void CChildView::ShowFrameLater(QImage frame, QRect changed) {
    // A queued call runs on the view's thread, and is dropped if the view is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this, picture = std::move(frame), changed]() mutable {
            ShowFrame(std::move(picture), changed);
        },
        Qt::QueuedConnection);
}

void CChildView::CaptureMouse() {
    grabMouse();
}

void CChildView::ReleaseMouse() {
    if (QWidget::mouseGrabber() == this) releaseMouse();
}

void CChildView::paintEvent(QPaintEvent*) {
    // Every paint asks for a picture of the current screen, as a repaint: the rendering thread
    // draws it only if it differs from the last frame, so an idle view stops costing frames
    // once its frame is shown, and starts again with the next change.
    if (CRenderQueue* queue = ProgramQueue()) queue->QueueRepaint(CurrentScreen->CreateScene());
    QPainter painter(this);
    // A frame smaller than the view (the view outgrew the drawing surface) is the bottom-left
    // part of the picture.
    QRect drawn(QPoint(0, height() - frame_.height()), frame_.size());
    painter.drawImage(drawn.topLeft(), frame_);
    // Whatever the last frame does not cover (before the first frame, or just after the view
    // grew) is black.
    QRegion uncovered = QRegion(rect()) - QRegion(drawn);
    for (const QRect& part : uncovered)
        painter.fillRect(part, Qt::black);
}

void CChildView::resizeEvent(QResizeEvent* event) {
    QSize size = event->size();
    WriteSetting("cx", size.width());
    WriteSetting("cy", size.height());
    ClientHeight = size.height();
    ClientWidth = size.width();
}

void CChildView::mousePressEvent(QMouseEvent* event) {
    ViewPixel p = PixelOf(event);
    if (event->button() == Qt::LeftButton) {
        CurrentScreen->OnLButtonDown(p.x, p.y);
    } else if (event->button() == Qt::RightButton) {
        CurrentScreen->OnBack();
    }
}

void CChildView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    ViewPixel p = PixelOf(event);
    CurrentScreen->OnLButtonUp(p.x, p.y);
}

void CChildView::mouseDoubleClickEvent(QMouseEvent*) {
    // The second press of a double click is not reported: a screen sees press, release,
    // release. (The base class would pass it on as a press.)
}

void CChildView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    ViewPixel p = PixelOf(event);
    CurrentScreen->OnMouseDrag(p.x, p.y);
}

void CChildView::wheelEvent(QWheelEvent* event) {
    // Only the vertical wheel turns; a sideways tilt reports no vertical amount.
    int delta = event->angleDelta().y();
    if (delta == 0) return;
    CurrentScreen->OnMouseWheel(WheelDelta(delta));
}
