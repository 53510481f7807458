#pragma once

// Threads: everything runs on the user-interface thread, except that a finished frame may be
// handed in from the rendering thread through ShowFrameLater, which only posts it.

#include "app/mouse_capture.h"

#include <QImage>
#include <QWidget>

/// The view filling the main window: it forwards the mouse, the wheel and the Esc command to
/// the current screen, records its size, and shows the frames the renderer draws. Every paint
/// request queues a new scene of the current screen, and every frame shown asks for another
/// paint, so pictures keep coming while the user interface is idle.
class CChildView final : public QWidget, public CMouseCapture {
public:
    /// Activates the current screen (the first screen's activation) and becomes the view
    /// through which screens capture the mouse.
    explicit CChildView(QWidget* parent = nullptr);
    ~CChildView() override;

    /// Handles the commands meant for the screens; false for any other command.
    bool OnCommand(int command);
    /// Shows `frame` (top row first) and asks for the next paint. User-interface thread.
    void ShowFrame(QImage frame);
    /// Posts `frame` to ShowFrame; callable from any thread while the view exists.
    void ShowFrameLater(QImage frame);
    /// The frame shown now (null before the first).
    const QImage& Frame() const { return frame_; }

    void CaptureMouse() override;
    void ReleaseMouse() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    QImage frame_;
};
