#include "framework/mouse_capture.h"

namespace {
CMouseCapture* CaptureView = nullptr;
}

void SetCaptureView(CMouseCapture* view) {
    CaptureView = view;
}

void CaptureMouse() {
    if (CaptureView != nullptr) CaptureView->CaptureMouse();
}

void ReleaseMouseCapture() {
    if (CaptureView != nullptr) CaptureView->ReleaseMouse();
}
