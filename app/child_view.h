#pragma once

// Threads: everything runs on the user-interface thread, except that a finished frame may be
// handed in from the rendering thread through ShowFrameLater, which only posts it.

#include "framework/mouse_capture.h"

#include <QImage>
#include <QRect>
#include <QWidget>

/// The view filling the main window: it forwards the mouse, the wheel and the Esc command to
/// the current screen, records its size, and shows the frames the renderer draws. The screens
/// see its size and the mouse in device pixels (see view_pixels.h); the stored size is logical.
/// Every paint request queues a new scene of the current screen as a repaint, and every frame shown
/// asks for another paint, so pictures keep coming while they change; a repaint showing the same
/// picture as the last frame is not drawn, which ends the round until the next change.
class CChildView final : public QWidget, public CMouseCapture {
public:
    /// Activates the current screen (the first screen's activation) and becomes the view
    /// through which screens capture the mouse.
    explicit CChildView(QWidget* parent = nullptr);
    ~CChildView() override;

    /// Handles the commands meant for the screens; false for any other command.
    bool OnCommand(int command);
    /// Shows `frame` (top row first, device pixels) and asks for the next paint: of the `changed`
    /// part alone (frame pixels, top-left origin) when the frame differs from the one shown before
    /// only there, else of the whole view (a null rectangle). User-interface thread.
    void ShowFrame(QImage frame, QRect changed = {});
    /// Posts `frame` to ShowFrame; callable from any thread while the view exists.
    void ShowFrameLater(QImage frame, QRect changed = {});
    /// The frame shown now (null before the first).
    const QImage& Frame() const { return frame_; }

    /// The size the view suggests when none is stored (3:2); the window system may choose
    /// another.
    QSize sizeHint() const override { return {900, 600}; }

    void CaptureMouse() override;
    void ReleaseMouse() override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    /// Sets ClientWidth and ClientHeight to the device pixels of a view of `logical` size.
    void TakeClientSize(QSize logical);
    /// The device pixel under the mouse event's position.
    QPoint DevicePixelOf(const QMouseEvent* event) const;

    QImage frame_;  // device pixels
};
