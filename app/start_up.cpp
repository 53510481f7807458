#include "app/start_up.h"

#include "app/child_view.h"
#include "app/main_frame.h"
#include "framework/background_music.h"
#include "framework/effect_sounds.h"
#include "framework/settings_store.h"
#include "framework/settings_values.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

#include <algorithm>

std::optional<QSize> StoredViewSize(QSize limit) {
    std::int32_t cx = ReadSetting("cx", 0);
    if (cx <= 0) return std::nullopt;
    // Two thirds in 64 bits: twice a large width does not fit 32.
    auto twoThirds = static_cast<std::int32_t>(std::int64_t{2} * cx / 3);
    std::int32_t cy = ReadSetting("cy", twoThirds);
    // A stored height of 0 (a minimised window) or less would make a view without height.
    if (cy <= 0) cy = twoThirds;
    return QSize(std::clamp(cx, 1, std::max(limit.width(), 1)),
                 std::clamp(cy, 1, std::max(limit.height(), 1)));
}

std::uint32_t StoredVolume(const char* name) {
    std::int32_t stored = ReadSetting(name, 32768);
    return static_cast<std::uint32_t>(std::clamp(stored, 0, 65535));
}

void ReadStoredVolumes() {
    std::uint32_t sound = StoredVolume("sound");
    SoundVolume = VolumeFromStored(sound);
    MusicVolume = VolumeFromStored(StoredVolume("music"));
    // The music starts here, at the stored level.
    BackgroundMusic().SetLevel(MusicVolume);
    // The players start at the stored level, so that a level set in an earlier run holds from
    // the first sound on, as the settings screen shows it.
    ChargeSound().SetVolume(sound);
    FallSound().SetVolume(sound);
}

void ReadStoredLevel() {
    std::int32_t stored = ReadSetting("level", StoredLevel(OpponentLevel::Normal));
    ComputerLevel = LevelFromStored(stored).value_or(OpponentLevel::Normal);
}

bool StoredSwitch(const char* name, bool fallback) {
    std::int32_t stored = ReadSetting(name, fallback ? 1 : 0);
    if (stored != 0 && stored != 1) return fallback;
    return stored == 1;
}

void ReadStoredControls() {
    MouseSetting = MouseSettingFromStored(StoredVolume("mouse"));
    RotateBoard = StoredSwitch("rotate", true);
}

void SizeViewTo(CMainFrame& frame, QSize viewSize) {
    // The window's extra (menu bar, borders) is whatever it has beyond its view once laid out.
    frame.layout()->activate();
    QSize extra = frame.size() - frame.View()->size();
    frame.resize(viewSize + extra);
}

QSize ScreenLimit() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {1920, 1080};
    return screen->availableSize();
}
