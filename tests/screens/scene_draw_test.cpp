#include "framework/scene.h"
#include "framework/settings_values.h"
#include "screens/scene_congr.h"
#include "screens/scene_main.h"
#include "screens/scene_play.h"
#include "screens/scene_sett.h"
#include "tests/fakes/recording_graphics.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<GraphicsCall>;

GraphicsCall Color(float r, float g, float b) {
    return {.op = "SetColor", .numbers = {r, g, b}};
}
const GraphicsCall kGold = Color(1.0f, 0.8f, 0.3f);
const GraphicsCall kOrange = Color(1.0f, 0.37f, 0.0f);
const GraphicsCall kOlive = Color(0.75f, 0.75f, 0.0f);

GraphicsCall Text(float x, float y, float scaleX, float scaleY, std::string text) {
    return {.op = "DrawString", .numbers = {x, y, scaleX, scaleY}, .text = std::move(text)};
}

GraphicsCall FlagCall(const CScene& scene, float x, float y, float scale, bool red) {
    return {.op = "DrawFlag",
            .numbers = {x, y, scale, red ? 1.0 : 0.0},
            .addresses = {scene.FlagPositions.data(), scene.FlagNormals.data()}};
}

// A number ending at u = 1.48: the width asked for, then the text at 1.48 - w x 0.05, the
// subtraction in double with 0.05 widened from single precision.
Calls RightAligned(float v, const std::string& text) {
    double width = RecordingGraphics::WidthOf(text.c_str());
    float x = static_cast<float>(1.48 - width * static_cast<double>(0.05f));
    return {{.op = "GetTextWidth", .text = text}, Text(x, v, 0.05f, 0.06f, text)};
}

GraphicsCall Board(const CScenePlay& scene) {
    return {.op = "DrawBoard",
            .numbers = {scene.viewAngles[0], scene.viewAngles[1]},
            .pieceBytes = BytesOf(scene.pieces)};
}

Calls Join(std::initializer_list<Calls> parts) {
    Calls all;
    for (const Calls& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Calls DrawnBy(const CScene& scene) {
    RecordingGraphics graphics;
    scene.Draw(&graphics);
    return graphics.Calls();
}

// The canvas u at which the last text drawn ends, by the fake's widths.
double RightEdgeOf(const Calls& calls) {
    const GraphicsCall& text = calls.back();
    return text.numbers[0] + RecordingGraphics::WidthOf(text.text.c_str()) * text.numbers[2];
}

PieceTable SomeTable() {
    PieceTable table{};
    for (int i = 0; i < kPieceCount; ++i) {
        table[i] = {.x = 0.1 * i,
                    .y = 0.9 - 0.05 * i,
                    .vx = i * 0.25,
                    .vy = -0.0,
                    .aim = 7.5 * i,
                    .side = i < 8 ? kRed : kWhite,
                    .alive = static_cast<std::uint8_t>(i % 3 != 0),
                    .selected = static_cast<std::uint8_t>(i == 4)};
    }
    return table;
}

TEST(PlaceholderScene, DrawsThreeGoldLinesAndNothingElse) {
    // The empty screen's picture: gold, then the three lines of the announcement.
    CScene scene;
    EXPECT_EQ(DrawnBy(scene), (Calls{kGold, Text(0.07f, 0.7f, 0.12f, 0.2f, "This feature"),
                                     Text(0.07f, 0.5f, 0.12f, 0.2f, "will be implemented"),
                                     Text(0.07f, 0.3f, 0.12f, 0.2f, "in future versions ...")}));
}

TEST(MenuScene, DrawsTheMenuPictureAndTheRedFlag) {
    // Background 0, then the red flag at (0.714, 0.31) scaled 0.715 from the scene's own copy.
    CSceneMain scene;
    EXPECT_EQ(DrawnBy(scene), (Calls{{.op = "DrawBackground", .numbers = {0}},
                                     FlagCall(scene, 0.714f, 0.31f, 0.715f, true)}));
}

class SettingsSceneTest : public testing::Test {
protected:
    void SetUp() override { saved_ = {SoundVolume, MusicVolume, MouseSetting, RotateBoard}; }
    void TearDown() override {
        SoundVolume = saved_.sound;
        MusicVolume = saved_.music;
        MouseSetting = saved_.mouse;
        RotateBoard = saved_.rotate;
    }

private:
    struct {
        double sound, music, mouse;
        bool rotate;
    } saved_{};
};

TEST_F(SettingsSceneTest, DrawsKnobsSwitchAndFlagInOrder) {
    // Knobs for 0, 1 and 2 land at 0.35, 0.58 and 0.81: the ends of the line and beyond it.
    SoundVolume = 2;
    MusicVolume = 1;
    MouseSetting = 0;
    RotateBoard = true;
    CSceneSett scene;
    EXPECT_EQ(DrawnBy(scene), (Calls{{.op = "DrawBackground", .numbers = {1}},
                                     kOrange,
                                     {.op = "DrawMarker", .numbers = {0.81f, 0.67f}},
                                     {.op = "DrawMarker", .numbers = {0.58f, 0.58f}},
                                     {.op = "DrawMarker", .numbers = {0.35f, 0.49f}},
                                     Text(0.51f, 0.38f, 0.05f, 0.06f, "On"),
                                     FlagCall(scene, 0.714f, 0.31f, 0.715f, true)}));
}

TEST_F(SettingsSceneTest, SwitchOffReadsOff) {
    // A cleared rotate-board switch is shown as "Off" in the same place.
    RotateBoard = false;
    Calls calls = DrawnBy(CSceneSett{});
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[5], Text(0.51f, 0.38f, 0.05f, 0.06f, "Off"));
}

TEST_F(SettingsSceneTest, KnobIsComputedInDoubleFromSingleConstants) {
    // k(s) = s x 0.23f + 0.35f in double, rounded once to single, for a level that is not
    // a round number (the default volume 32768 / 65535).
    double level = VolumeFromStored(kDefaultStoredVolume);
    float expected = static_cast<float>(level * 0.23000000417232513 + 0.3499999940395355);
    EXPECT_EQ(CSceneSett::KnobU(level), expected);
    EXPECT_EQ(CSceneSett::KnobU(0.5), 0.465f);
}

TEST_F(SettingsSceneTest, TakesTheSettingsWhenMade) {
    // A scene keeps the values of its making; later changes show only in newer scenes.
    SoundVolume = 0.25;
    MusicVolume = 0.75;
    MouseSetting = 0.125;
    RotateBoard = false;
    CSceneSett scene;
    SoundVolume = MusicVolume = MouseSetting = 1;
    RotateBoard = true;
    EXPECT_EQ(scene.sound, 0.25);
    EXPECT_EQ(scene.music, 0.75);
    EXPECT_EQ(scene.mouse, 0.125);
    EXPECT_EQ(scene.rotate, 0);
    EXPECT_EQ(DrawnBy(scene)[2].numbers[0], CSceneSett::KnobU(0.25));
}

TEST(ResultScene, WhiteWinShowsWhiteFlagAndOlivePoints) {
    // Result 3: its line in gold, the white flag, then "+5" in olive ending at u = 1.48.
    CSceneCongr scene(3, 5);
    EXPECT_EQ(DrawnBy(scene),
              Join({{kGold, Text(0.1f, 0.8f, 0.1f, 0.23f, "White army won the battle"),
                     FlagCall(scene, 0.5f, 0.35f, 0.6f, false), kOlive},
                    RightAligned(0.76f, "+5")}));
}

TEST(ResultScene, OnlyResultsThreeAndSixAreWhite) {
    // Every result but 3 and 6 shows the red flag and orange points; 3 and 6 white and olive.
    for (std::int32_t result = -1; result <= 7; ++result) {
        SCOPED_TRACE(result);
        CSceneCongr scene(result, 12);
        Calls calls = DrawnBy(scene);
        bool white = result == 3 || result == 6;
        const GraphicsCall& flag = calls[calls.size() - 4];
        EXPECT_EQ(flag, FlagCall(scene, 0.5f, 0.35f, 0.6f, !white));
        EXPECT_EQ(calls[calls.size() - 3], white ? kOlive : kOrange);
    }
}

TEST(ResultScene, EachKnownResultHasItsLine) {
    // Codes 0 to 6 each draw their own text at (0.1, 0.8) with scales (0.1, 0.23).
    const std::vector<std::string> lines{"No winner",
                                         "Red army won the battle",
                                         "Red army lost the battle",
                                         "White army won the battle",
                                         "Red army won the GAME!",
                                         "Red army lost the GAME!",
                                         "White army won the GAME!"};
    for (std::int32_t result = 0; result <= 6; ++result) {
        Calls calls = DrawnBy(CSceneCongr(result, 0));
        ASSERT_EQ(calls.size(), 3u);
        EXPECT_EQ(calls[1], Text(0.1f, 0.8f, 0.1f, 0.23f, lines[result]));
    }
}

TEST(ResultScene, UnknownResultDrawsNoLine) {
    // Codes outside 0 to 6, negative ones included, draw no text: gold, then the flag only.
    for (std::int32_t result : {7, -1, INT_MIN, INT_MAX}) {
        CSceneCongr scene(result, 0);
        EXPECT_EQ(DrawnBy(scene), (Calls{kGold, FlagCall(scene, 0.5f, 0.35f, 0.6f, true)}));
    }
}

TEST(ResultScene, ZeroPointsDrawNoNumber) {
    // Without points nothing follows the flag: no colour, no width asked, no text.
    CSceneCongr scene(1, 0);
    Calls calls = DrawnBy(scene);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), FlagCall(scene, 0.5f, 0.35f, 0.6f, true));
}

TEST(ResultScene, ExtremePointsAreWrittenWhole) {
    // The number buffer holds every 32-bit value with its sign, "+%d" as written.
    EXPECT_EQ(DrawnBy(CSceneCongr(1, INT_MIN)).back().text, "+-2147483648");
    EXPECT_EQ(DrawnBy(CSceneCongr(1, INT_MAX)).back().text, "+2147483647");
    EXPECT_EQ(DrawnBy(CSceneCongr(1, -3)).back().text, "+-3");
}

TEST(PlayScene, OnePlayerDrawsFlagScoreThenBoard) {
    // Red to move: red corner flag, the score in orange ending at 1.48, the board last.
    CScenePlay1 scene(SomeTable(), CameraAngles{12.5, 40}, kRed, 42);
    EXPECT_EQ(DrawnBy(scene), Join({{FlagCall(scene, 1.24f, 0.83f, 0.25f, true), kOrange},
                                    RightAligned(0.76f, "42"),
                                    {Board(scene)}}));
}

TEST(PlayScene, TwoPlayersDrawBothScoresThenBoard) {
    // White to move: white flag, Red's score in orange at 0.76, White's in olive at 0.7.
    CScenePlay2 scene(SomeTable(), CameraAngles{-90, 10}, kWhite, 7, 13);
    EXPECT_EQ(DrawnBy(scene), Join({{FlagCall(scene, 1.24f, 0.83f, 0.25f, false), kOrange},
                                    RightAligned(0.76f, "7"),
                                    {kOlive},
                                    RightAligned(0.7f, "13"),
                                    {Board(scene)}}));
}

TEST(PlayScene, ScoreZeroIsDrawnAsZero) {
    // A score of 0 is a number like any other, not left out.
    Calls calls = DrawnBy(CScenePlay1(SomeTable(), CameraAngles{}, kRed, 0));
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[3].text, "0");
    Calls both = DrawnBy(CScenePlay2(SomeTable(), CameraAngles{}, kRed, 0, -4));
    EXPECT_EQ(both[3].text, "0");
    EXPECT_EQ(both[6].text, "-4");
}

TEST(PlayScene, NumbersOfAnyLengthEndAtTheSameEdge) {
    // One, two and eleven characters all end at u = 1.48, to single precision; they start
    // at different places.
    std::vector<double> starts;
    for (std::int32_t score : {7, 42, INT_MIN}) {
        SCOPED_TRACE(score);
        Calls calls = DrawnBy(CScenePlay1(SomeTable(), CameraAngles{}, kRed, score));
        calls.pop_back();  // the board
        EXPECT_NEAR(RightEdgeOf(calls), 1.48, 2e-7);
        starts.push_back(calls.back().numbers[0]);
    }
    EXPECT_GT(starts[0], starts[1]);
    EXPECT_GT(starts[1], starts[2]);
}

TEST(PlayScene, BoardComesLastWithAByteCopyOfTheTable) {
    // The board is drawn after everything flat, from a copy equal to the table byte for byte
    // (padding included), and later changes to the live table do not reach the scene.
    PieceTable live;
    std::memset(static_cast<void*>(live.data()), 0xA5, sizeof live);
    PieceTable values = SomeTable();
    for (int i = 0; i < kPieceCount; ++i) {
        live[i].x = values[i].x;
        live[i].vy = values[i].vy;
        live[i].alive = values[i].alive;
    }
    CScenePlay2 scene(live, CameraAngles{33.25, 71.5}, kRed, 1, 2);
    std::vector<unsigned char> before = BytesOf(live);
    live[3].x = 0.5;
    live[9].alive = 0;
    Calls calls = DrawnBy(scene);
    EXPECT_EQ(calls.back().op, "DrawBoard");
    EXPECT_EQ(calls.back().pieceBytes, before);
    EXPECT_EQ(calls.back().numbers, (std::vector<double>{33.25, 71.5}));
    EXPECT_TRUE(std::signbit(scene.pieces[0].vy));
}

}  // namespace
