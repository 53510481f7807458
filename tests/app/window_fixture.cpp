#include "tests/app/window_fixture.h"

#include "app/start_up.h"
#include "framework/effect_sounds.h"
#include "framework/program_queue.h"
#include "framework/scene.h"
#include "framework/settings_values.h"
#include "screens/screen_congr.h"
#include "screens/screen_main.h"
#include "screens/screen_sett.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

namespace {

void ResetProgramState() {
    ClientWidth = 100;
    ClientHeight = 100;
    SoundVolume = VolumeFromStored(kDefaultStoredVolume);
    MusicVolume = VolumeFromStored(kDefaultStoredVolume);
    MouseSetting = 0.5;
    RotateBoard = true;
    ComputerLevel = OpponentLevel::Normal;
    ScreenSett.DragSlider = 0;
    ScreenSett.ReturnScreen = nullptr;
    ScreenCongr.ReturnScreen = nullptr;
    ScreenCongr.Result = 0;
    ScreenCongr.Points = 0;
    CurrentScreen = &ScreenMain;
}

}  // namespace

std::unique_ptr<CScene> RecordingScreen::CreateScene() {
    return std::make_unique<CScene>();
}

void RecordingScreen::OnLButtonDown(std::int32_t x, std::int32_t y) {
    events.push_back("down " + std::to_string(x) + " " + std::to_string(y));
}

void RecordingScreen::OnLButtonUp(std::int32_t x, std::int32_t y) {
    events.push_back("up " + std::to_string(x) + " " + std::to_string(y));
}

void RecordingScreen::OnMouseDrag(std::int32_t x, std::int32_t y) {
    events.push_back("drag " + std::to_string(x) + " " + std::to_string(y));
}

void RecordingScreen::OnMouseWheel(std::int16_t delta) {
    events.push_back("wheel " + std::to_string(delta));
}

TemporarySettingsFolder::TemporarySettingsFolder() {
    // On Linux the native format is the INI file; both are pointed here.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder_.path());
}

QString TemporarySettingsFolder::FilePath() const {
    return folder_.path() + "/Quenlo/Brivel.conf";
}

void TemporarySettingsFolder::WriteFile(const QByteArray& text) const {
    QDir().mkpath(folder_.path() + "/Quenlo");
    QFile file(FilePath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(text);
}

WindowTest::WindowTest() {
    ResetProgramState();
    SetSettingsStore(&store_);
    SetProgramQueue(&queue_);
    SetEffectSounds(&charge_, &fall_);
    frame_ = std::make_unique<CMainFrame>([this](const QUrl& url) { openedUrls_.push_back(url); });
    SizeViewTo(*frame_, QSize(kViewWidth, kViewHeight));
    frame_->show();
    frame_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
    EXPECT_EQ(View()->size(), QSize(kViewWidth, kViewHeight));
}

WindowTest::~WindowTest() {
    frame_.reset();
    SetEffectSounds(nullptr, nullptr);
    SetProgramQueue(nullptr);
    SetSettingsStore(nullptr);
    ResetProgramState();
}

QPoint WindowTest::PixelAt(double u, double v) {
    return {static_cast<int>(std::lround(u * 1000)), static_cast<int>(std::lround((1 - v) * 1000))};
}

void WindowTest::ClickAt(double u, double v) {
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, PixelAt(u, v));
}

void WindowTest::DragFromTo(double u0, double v0, double u1) {
    QPoint start = PixelAt(u0, v0);
    QPoint end(PixelAt(u1, v0).x(), start.y());
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseMove(View(), (start + end) / 2);
    QTest::mouseMove(View(), end);
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, end);
}

void WindowTest::TurnWheel(QPoint at, int delta) {
    QWheelEvent wheel(at, View()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View(), &wheel);
}

void WindowTest::RightClick() {
    QTest::mouseClick(View(), Qt::RightButton, Qt::NoModifier, QPoint(750, 500));
}

void WindowTest::PressEscape() {
    QTest::keyClick(frame_.get(), Qt::Key_Escape);
}
