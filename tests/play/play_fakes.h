#pragma once

// Threads: the fakes below are used on the test thread only, except PickingGraphics, whose
// PickPiece runs on the test thread and whose drawing operations run on a queue's rendering
// thread; its pick result is atomic.

#include "framework/clock.h"
#include "framework/effect_sounds.h"
#include "framework/message_box.h"
#include "framework/mouse_capture.h"
#include "tests/fakes/silent_graphics.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

/// A clock that stands still until the test moves it.
class FakeClock final : public CClock {
public:
    std::int64_t Milliseconds() override { return now; }
    std::int64_t now = 1000;
};

/// A sound player that counts what it was asked to do.
class CountingSound final : public CEffectSound {
public:
    void SetVolume(std::uint32_t level) override { volume = level; }
    void Play() override { ++plays; }
    void Stop() override { ++stops; }
    int plays = 0;
    int stops = 0;
    std::uint32_t volume = 0;
};

/// A message box that records each text and, while "open", can run what the timer would.
class FakeMessageBox final : public CMessageBox {
public:
    void Show(std::string_view text) override {
        texts.emplace_back(text);
        if (whileOpen) whileOpen();
    }
    std::vector<std::string> texts;
    std::function<void()> whileOpen;
};

/// The view's mouse capture, counted.
class CountingCapture final : public CMouseCapture {
public:
    void CaptureMouse() override {
        ++captures;
        captured = true;
    }
    void ReleaseMouse() override {
        ++releases;
        captured = false;
    }
    int captures = 0;
    int releases = 0;
    bool captured = false;
};

/// Draws nothing; PickPiece answers what the test set.
using PickingGraphics = SilentGraphics;
