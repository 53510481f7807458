#include "app/child_view.h"

#include "app/commands.h"
#include "app/view_pixels.h"
#include "framework/program_queue.h"
#include "framework/render_queue.h"
#include "framework/scene.h"
#include "framework/screen.h"
#include "framework/settings_store.h"

#include <QEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QtGlobal>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

namespace {

// The screens take the wheel as a signed 16-bit amount; a fast wheel's sum is clamped to it.
std::int16_t WheelDelta(std::int64_t delta) {
    constexpr std::int64_t kLow = std::numeric_limits<std::int16_t>::min();
    constexpr std::int64_t kHigh = std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(std::clamp(delta, kLow, kHigh));
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
    update(LogicalCover(changed, frame_.size(), size(), devicePixelRatio()));
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
    // Whatever the last frame does not cover (before the first frame, or just after the view
    // grew) is black. At a fractional ratio the frame's edge may end inside a logical pixel:
    // only whole pixels it covers are left out here, and the frame is drawn over the rest.
    const QRectF drawn = FrameArea(frame_.size(), size(), devicePixelRatio());
    QRegion uncovered = QRegion(rect()) - QRegion(WholePixelsWithin(drawn));
    for (const QRect& part : uncovered)
        painter.fillRect(part, Qt::black);
    // The frame has the view's device pixels: drawn into its logical area it lands on the
    // screen one to one, at full sharpness. A frame smaller than the view (the view outgrew
    // the drawing surface) is the bottom-left part of the picture.
    if (!frame_.isNull()) painter.drawImage(drawn, frame_);
}

bool CChildView::event(QEvent* event) {
    // Moved to a screen of another density: the same logical size has another number of
    // device pixels, and the screens must draw and pick at the new one.
    bool densityChanged = event->type() == QEvent::ScreenChangeInternal;
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
    densityChanged = densityChanged || event->type() == QEvent::DevicePixelRatioChange;
#endif
    if (densityChanged) {
        TakeClientSize(size());
        update();
    }
    return QWidget::event(event);
}

void CChildView::resizeEvent(QResizeEvent* event) {
    // "cx" and "cy" keep the size the window system sizes windows in (logical units), so a
    // stored size opens the window just as large on every desktop, whatever its density, and
    // sizes stored before stay valid. Stored in device pixels they would grow the window on
    // every start on a doubled desktop.
    // Full screen is a state of its own ("fullscreen"): "cx" and "cy" keep the windowed size.
    QSize size = event->size();
    if (!window()->isFullScreen()) {
        WriteSetting("cx", size.width());
        WriteSetting("cy", size.height());
    }
    TakeClientSize(size);
}

void CChildView::TakeClientSize(QSize logical) {
    // The screens see the view in device pixels (the frames are drawn at that size), and the
    // mouse arrives in the same units, so that every ratio the screens compute with the size
    // (a drag's turn per pixel, the canvas point of a click) is what the player sees.
    QSize device = DeviceSize(logical, devicePixelRatio());
    ClientHeight = device.height();
    ClientWidth = device.width();
}

QPoint CChildView::DevicePixelOf(const QMouseEvent* event) const {
    return DevicePixel(event->position(), size(), devicePixelRatio());
}

void CChildView::mousePressEvent(QMouseEvent* event) {
    QPoint p = DevicePixelOf(event);
    if (event->button() == Qt::LeftButton) {
        CurrentScreen->OnLButtonDown(p.x(), p.y());
    } else if (event->button() == Qt::RightButton) {
        CurrentScreen->OnBack();
    }
}

void CChildView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    QPoint p = DevicePixelOf(event);
    CurrentScreen->OnLButtonUp(p.x(), p.y());
}

void CChildView::mouseDoubleClickEvent(QMouseEvent*) {
    // The second press of a double click is not reported: a screen sees press, release,
    // release. (The base class would pass it on as a press.)
}

void CChildView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    QPoint p = DevicePixelOf(event);
    CurrentScreen->OnMouseDrag(p.x(), p.y());
}

void CChildView::wheelEvent(QWheelEvent* event) {
    // Only the vertical wheel turns; a sideways tilt reports no vertical amount.
    std::int64_t delta = event->angleDelta().y();
    if (delta == 0) return;
    // A touchpad set to natural scrolling reports its amounts with the sign reversed (the
    // content follows the fingers). The flick follows the fingers' own motion, as on every
    // other touchpad and wheel: the same push makes the same flick whichever way the desktop
    // scrolls its pages.
    if (event->inverted()) delta = -delta;
    CurrentScreen->OnMouseWheel(WheelDelta(delta));
}
