#pragma once

// Threads: user-interface thread only. Screens, CurrentScreen and every call below belong to it.

#include <cstdint>
#include <memory>

class CScene;

/// One full-window screen of the game. Every screen is one program-wide object that lives as
/// long as the program and keeps its state while another screen is current; screens are
/// never allocated or deleted at run time. The operations are listed in their fixed order;
/// a screen leaves empty every operation it does not use.
class CScreen {
public:
    CScreen() = default;
    CScreen(const CScreen&) = delete;
    CScreen& operator=(const CScreen&) = delete;

    /// A newly made scene describing the whole current picture; the caller owns it.
    virtual std::unique_ptr<CScene> CreateScene() = 0;
    /// Called just before the screen becomes current.
    virtual void Activate() {}
    /// Unused; every screen leaves it empty.
    virtual void Spare() {}
    /// Left button pressed at view pixel (x, y), origin top-left.
    virtual void OnLButtonDown(std::int32_t x, std::int32_t y) {
        (void)x;
        (void)y;
    }
    /// Left button released at view pixel (x, y).
    virtual void OnLButtonUp(std::int32_t x, std::int32_t y) {
        (void)x;
        (void)y;
    }
    /// Mouse moved to view pixel (x, y) with the left button held.
    virtual void OnMouseDrag(std::int32_t x, std::int32_t y) {
        (void)x;
        (void)y;
    }
    /// Wheel turned by `delta` (120 a notch, positive forward).
    virtual void OnMouseWheel(std::int16_t delta) { (void)delta; }
    /// One tick of the 50 ms timer.
    virtual void OnTimer() {}
    /// Esc or the right button.
    virtual void OnBack() {}

protected:
    ~CScreen() = default;  // screens are program-wide objects, never deleted through this
};

/// The screen that receives input and ticks. The program makes ScreenMain current before its
/// window exists, and from then on it is never null.
extern CScreen* CurrentScreen;

/// Makes `next` current: releases the mouse capture, activates `next`, makes it current and
/// queues a scene of it. Nothing is called on the screen that stops being current.
void SwitchScreen(CScreen* next);

/// Queues a scene of `screen`, for a change the timer would not otherwise show.
void RedrawScreen(CScreen* screen);
