#pragma once

// Threads: the test runs on the user-interface thread; the scene queue's rendering thread draws
// into the RecordingGraphics.

#include "app/child_view.h"
#include "app/main_frame.h"
#include "app/qt_settings_store.h"
#include "framework/render_queue.h"
#include "framework/screen.h"
#include "tests/fakes/framework_fakes.h"
#include "tests/fakes/recording_graphics.h"

#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

/// A screen that records every operation it receives, as "down x y", "up x y", "drag x y",
/// "wheel d", "timer", "back", "activate".
class RecordingScreen final : public CScreen {
public:
    std::unique_ptr<CScene> CreateScene() override;
    void Activate() override { events.push_back("activate"); }
    void OnLButtonDown(std::int32_t x, std::int32_t y) override;
    void OnLButtonUp(std::int32_t x, std::int32_t y) override;
    void OnMouseDrag(std::int32_t x, std::int32_t y) override;
    void OnMouseWheel(std::int16_t delta) override;
    void OnTimer() override { ++ticks; }
    void OnBack() override { events.push_back("back"); }

    std::vector<std::string> events;
    int ticks = 0;
};

/// Starts the settings store in a fresh temporary folder of its own. The store lives at
/// <folder>/Quenlo/Brivel.conf.
class TemporarySettingsFolder {
public:
    TemporarySettingsFolder();
    /// The settings file's path.
    QString FilePath() const;
    /// Replaces the settings file's text.
    void WriteFile(const QByteArray& text) const;

private:
    QTemporaryDir folder_;
};

/// The real main window and view, shown on the offscreen platform with a view of 1500 x 1000
/// pixels (so a pixel is exactly 0.001 canvas units), over a scene queue that draws into a
/// RecordingGraphics, with recording sound players and a settings store in a temporary folder.
/// Every program-wide value the screens use starts as at program start, ScreenMain current.
class WindowTest : public testing::Test {
protected:
    static constexpr int kViewWidth = 1500;
    static constexpr int kViewHeight = 1000;

    WindowTest();
    ~WindowTest() override;

    CChildView* View() const { return frame_->View(); }
    CMainFrame& Frame() const { return *frame_; }
    /// View pixel of canvas point (u, v) in the 1500 x 1000 view.
    static QPoint PixelAt(double u, double v);
    /// A left click at canvas point (u, v).
    void ClickAt(double u, double v);
    /// Presses the left button at canvas (u0, v0), drags to canvas u1 on the same line and
    /// releases there.
    void DragFromTo(double u0, double v0, double u1);
    /// Sends a vertical wheel turn of `delta` at view pixel `at`.
    void TurnWheel(QPoint at, int delta);
    /// Presses and releases the right button in the middle of the view.
    void RightClick();
    /// Presses Esc in the window.
    void PressEscape();

    TemporarySettingsFolder settingsFolder_;
    CQtSettingsStore store_;
    RecordingGraphics graphics_;
    CRenderQueue queue_{graphics_};
    RecordingSound charge_;
    RecordingSound fall_;
    std::vector<QUrl> openedUrls_;
    std::unique_ptr<CMainFrame> frame_;
};
