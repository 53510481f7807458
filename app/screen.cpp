#include "app/screen.h"

#include "app/mouse_capture.h"
#include "app/program_queue.h"
#include "app/scene.h"

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
