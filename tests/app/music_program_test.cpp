// The whole game in this process, heard through OpenAL Soft's file-writing output: on the main
// menu the music plays at the default level; once the MUSIC knob is dragged to 0 the output
// falls silent. Ten seconds in real time: the music is streamed as the game runs.

#include "app/brivel_app.h"
#include "app/child_view.h"
#include "app/main_frame.h"
#include "framework/screen.h"
#include "framework/settings_values.h"
#include "screens/screen_sett.h"
#include "tests/sound/wave_capture.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

constexpr int kRate = 44100;  // frames per second of the captured output

int g_argc = 1;
char* g_argv[] = {const_cast<char*>("brivel"), nullptr};

// View pixel of canvas point (u, v) in the 600 x 400 view the settings ask for.
QPoint PixelAt(double u, double v) {
    return {static_cast<int>(u * 400), static_cast<int>((1 - v) * 400)};
}

TEST(MusicProgram, PlaysOnTheMenuAndFallsSilentAtMusicZero) {
    std::vector<std::int16_t> out;
    {
        BrivelApp app(g_argc, g_argv);
        ASSERT_TRUE(app.InitInstance());
        QTest::qWait(5000);
        CChildView* view = app.MainFrame()->View();
        ASSERT_EQ(view->size(), QSize(600, 400));
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, PixelAt(0.3, 0.215));
        ASSERT_EQ(CurrentScreen, &ScreenSett);
        double knobU = MusicVolume * 0.23 + 0.35;
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, PixelAt(knobU, 0.58));
        QTest::mouseMove(view, PixelAt(0.1, 0.58));
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, PixelAt(0.1, 0.58));
        EXPECT_EQ(MusicVolume, 0.0);
        QTest::qWait(5000);
    }
    out = CapturedOutput();
    ASSERT_GT(out.size(), 9u * kRate);
    // Clearly audible over its first seconds at the default level: every half second holds
    // music, the notes' decays included.
    for (int half = 2; half < 9; ++half)
        EXPECT_GT(LevelAt(out, half * kRate / 2, kRate / 2), 200) << half / 2.0 << " s";
    // Silent for the last three seconds, well after the knob reached 0.
    int from = static_cast<int>(out.size()) - 3 * kRate;
    std::vector<std::int16_t> tail(out.begin() + from, out.end());
    EXPECT_EQ(PeakLevel(tail), 0);
}

}  // namespace

int main(int argc, char** argv) {
    UseWaveWriterOutput();
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir configHome;
    if (!configHome.isValid()) return 2;
    setenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit().constData(), 1);
    // A 600 x 400 view (within the offscreen screen), so that the canvas fills it exactly.
    std::filesystem::create_directories(configHome.path().toStdString() + "/Quenlo");
    std::ofstream(configHome.path().toStdString() + "/Quenlo/Brivel.conf")
        << "[General]\ncx=600\ncy=400\n";
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
