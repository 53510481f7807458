#pragma once

// Threads: user-interface thread only.

/// The view's side of the mouse capture: while captured, the view keeps receiving moves and
/// the release even when the pointer leaves it.
class CMouseCapture {
public:
    /// Directs all mouse input to the view until released.
    virtual void CaptureMouse() = 0;
    /// Ends a capture; harmless when there is none.
    virtual void ReleaseMouse() = 0;

protected:
    ~CMouseCapture() = default;  // owned by whoever installs it
};

/// Installs the view that captures the mouse; null (the start) makes both calls below do
/// nothing. Not owned; the view uninstalls itself before it goes.
void SetCaptureView(CMouseCapture* view);
/// Captures the mouse for the view.
void CaptureMouse();
/// Releases the view's capture.
void ReleaseMouseCapture();
