#include "framework/screen.h"

#include "framework/mouse_capture.h"
#include "framework/program_queue.h"
#include "framework/scene.h"

CScreen* CurrentScreen = nullptr;

void SwitchScreen(CScreen* next) {
    // First, so that a screen left in the middle of a drag stops receiving the mouse.
    ReleaseMouseCapture();
    next->Activate();
    CurrentScreen = next;
    RedrawScreen(next);
}

void RedrawScreen(CScreen* screen) {
    QueueScene(screen->CreateScene());
}
