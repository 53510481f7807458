#pragma once

// Threads: user-interface thread only, like the seams they stand in for.

#include "framework/clock.h"
#include "framework/effect_sounds.h"
#include "framework/message_box.h"
#include "framework/mouse_capture.h"
#include "framework/settings_store.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// A view that records captures and releases, in order, as "capture" and "release".
class RecordingCapture final : public CMouseCapture {
public:
    void CaptureMouse() override { events.push_back("capture"); }
    void ReleaseMouse() override { events.push_back("release"); }

    std::vector<std::string> events;
};

/// A settings store in memory: every write is kept, in order, and a read sees the last one.
class MemorySettingsStore final : public CSettingsStore {
public:
    std::optional<std::int32_t> Read(std::string_view name) override;
    void Write(std::string_view name, std::int32_t value) override;

    std::map<std::string, std::int32_t, std::less<>> values;
    std::vector<std::pair<std::string, std::int32_t>> writes;
};

/// A sound player that records its calls as "volume <level>", "play" and "stop".
class RecordingSound final : public CEffectSound {
public:
    void SetVolume(std::uint32_t level) override {
        calls.push_back("volume " + std::to_string(level));
    }
    void Play() override { calls.push_back("play"); }
    void Stop() override { calls.push_back("stop"); }

    std::vector<std::string> calls;
};

/// A message box that returns at once and keeps every text shown.
class RecordingMessageBox final : public CMessageBox {
public:
    void Show(std::string_view text) override { texts.emplace_back(text); }

    std::vector<std::string> texts;
};

/// A clock that stands still until the test moves it.
class ManualClock final : public CClock {
public:
    std::int64_t Milliseconds() override { return now; }

    std::int64_t now = 0;
};
