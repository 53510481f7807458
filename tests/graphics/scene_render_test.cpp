// Every scene class of the game drawn by the real renderer: what each must show, pixel by pixel.
#include "framework/settings_values.h"
#include "game/flag.h"
#include "game/rules.h"
#include "screens/scene_congr.h"
#include "screens/scene_main.h"
#include "screens/scene_play.h"
#include "screens/scene_sett.h"
#include "tests/graphics/render_support.h"
#include "tests/setups/board_setups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace {

constexpr Rgb kOrange{255, 94, 0};     // unlit knob
constexpr Rgb kLitGold{247, 199, 74};  // texts are lit face-on: 0.966 of their colour
constexpr Rgb kLitOrange{247, 91, 0};
constexpr Rgb kLitOlive{185, 185, 0};

bool IsClear(Rgb c) {
    return Near(c, ClearColour(), 1);
}

// A flag that has waved for a while, as the menus show it.
void WaveFlag() {
    InitFlag(Flag);
    ResetFlag(Flag, 0, 0, 0.05, 0.012, 0.004, 0.00002);
    for (int step = 0; step < 200; ++step)
        StepFlag(Flag);
}

class Scenes : public ::testing::Test {
protected:
    void SetUp() override {
        WaveFlag();
        SetClientSize(1500, 1000);
    }
    static void SetClientSize(std::int32_t width, std::int32_t height) {
        ClientWidth = width;
        ClientHeight = height;
    }
    static const MemorySink& Draw(const CScene& scene) {
        COpenGL& gl = SharedRenderer();
        gl.BeginFrame(scene.width, scene.height);
        scene.Draw(&gl);
        gl.EndFrame();
        return SharedSink();
    }
};

Rgb CanvasPixel(const MemorySink& sink, double u, double v) {
    const PixelPoint p = CanvasToPixel(sink.width, sink.height, u, v);
    return sink.At(p.x, p.y);
}

// Number of pixels of colour `colour` in the canvas box u0-u1, v0-v1, and the rightmost u.
struct Ink {
    int count = 0;
    double right = -1;
};
Ink InkIn(const MemorySink& sink, Rgb colour, double u0, double u1, double v0, double v1) {
    Ink ink;
    const PixelPoint a = CanvasToPixel(sink.width, sink.height, u0, v0);
    const PixelPoint b = CanvasToPixel(sink.width, sink.height, u1, v1);
    const double pixelsPerUnit = sink.height;  // a 3:2 or wider frame
    for (int y = a.y; y < b.y; ++y) {
        for (int x = a.x; x < b.x; ++x) {
            if (!Near(sink.At(x, y), colour, 8)) continue;
            ++ink.count;
            ink.right = std::max(ink.right, u0 + (x + 1 - a.x) / pixelsPerUnit);
        }
    }
    return ink;
}

// How many of a sample of interior cloth points show the given flag picture, lit as their
// normal says (ambient 0.2 + 0.2, diffuse 0.8 from (-3, -4, 5), the picture modulated).
int FlagPointsShowing(const MemorySink& sink, const CScene& scene, double x, double y, double scale,
                      bool red) {
    const DecodedPicture picture = DecodeTestPicture(red ? 131 : 132);
    const double light[3] = {-3 / std::sqrt(50.0), -4 / std::sqrt(50.0), 5 / std::sqrt(50.0)};
    int matches = 0;
    for (int i = 3; i < kFlagRows - 2; i += 3) {
        for (int j = 2; j < kFlagColumns - 2; j += 2) {
            const int k = (i * kFlagColumns + j) * 3;
            const float* n = &scene.FlagNormals[k];
            const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            const double diffuse =
                std::max(0.0, (n[0] * light[0] + n[1] * light[1] + n[2] * light[2]) / length);
            const double lit = std::min(1.0, 0.4 + 0.8 * diffuse);
            const int tx = i * (picture.width - 1) / 19;
            const int ty = (12 - j) * (picture.height - 1) / 12;
            const Rgb pixel = CanvasPixel(sink, x + scale * scene.FlagPositions[k],
                                          y + scale * scene.FlagPositions[k + 1]);
            bool found = false;
            for (int dy = -3; dy <= 3 && !found; ++dy) {
                for (int dx = -3; dx <= 3 && !found; ++dx) {
                    const Rgb t = picture.At(std::clamp(tx + dx, 0, picture.width - 1),
                                             std::clamp(ty + dy, 0, picture.height - 1));
                    found = Near(pixel,
                                 {static_cast<int>(t.r * lit), static_cast<int>(t.g * lit),
                                  static_cast<int>(t.b * lit)},
                                 10);
                }
            }
            matches += found ? 1 : 0;
        }
    }
    return matches;
}
constexpr int kFlagSamples = 5 * 5;

}  // namespace

TEST_F(Scenes, PlaceholderShowsThreeGoldLinesOnTheClearColour) {
    // The empty screen's scene: gold text on the three lines, no picture behind it.
    const CScene scene;
    const MemorySink& sink = Draw(scene);
    for (double v : {0.7, 0.5, 0.3}) {
        EXPECT_GT(InkIn(sink, kLitGold, 0.07, 1.0, v, v + 0.15).count, 2000) << v;
    }
    EXPECT_TRUE(IsClear(CanvasPixel(sink, 1.45, 0.1)));
    EXPECT_TRUE(IsClear(CanvasPixel(sink, 0.03, 0.95)));
}

TEST_F(Scenes, MenuShowsItsPictureAndTheRedFlagWaving) {
    // The menu picture fills the design rectangle and the red flag waves over it at
    // (0.714, 0.31); the canvas widened beyond the picture stays clear.
    for (auto [w, h] : {std::pair{1500, 1000}, std::pair{2000, 1000}}) {
        SetClientSize(w, h);
        const CSceneMain scene;
        const MemorySink& sink = Draw(scene);
        const DecodedPicture menu = DecodeTestPicture(134);
        const Rgb corner = CanvasPixel(sink, 0.05, 0.05);
        EXPECT_TRUE(Near(corner, menu.At(34, 486), 6))
            << corner.r << "," << corner.g << "," << corner.b;
        EXPECT_GE(FlagPointsShowing(sink, scene, 0.714, 0.31, 0.715, true), kFlagSamples - 3);
        EXPECT_LE(FlagPointsShowing(sink, scene, 0.714, 0.31, 0.715, false), kFlagSamples / 2);
        if (w == 2000) {
            EXPECT_TRUE(IsClear(CanvasPixel(sink, -0.1, 0.5)));
        }
    }
}

TEST_F(Scenes, SettingsKnobsSitAtTheirLevels) {
    // Knobs in red-army orange at u = 0.35 + 0.23 s on their rows; a volume of 2 puts the
    // knob at u = 0.81; the switch reads "On" or "Off".
    SoundVolume = 0;
    MusicVolume = 2;
    MouseSetting = 1;
    for (int rotate : {0, 1}) {
        RotateBoard = rotate == 1;
        CSceneSett scene;
        // The knob at 0.81 lies where the flag waves over it: fold the cloth to a point.
        scene.FlagPositions.fill(0);
        const MemorySink& sink = Draw(scene);
        EXPECT_TRUE(Near(CanvasPixel(sink, 0.35, 0.67), kOrange, 1));
        EXPECT_TRUE(Near(CanvasPixel(sink, 0.81, 0.58), kOrange, 1));
        EXPECT_TRUE(Near(CanvasPixel(sink, 0.58, 0.49), kOrange, 1));
        EXPECT_FALSE(Near(CanvasPixel(sink, 0.81, 0.67), kOrange, 1));
        EXPECT_FALSE(Near(CanvasPixel(sink, 0.35, 0.58), kOrange, 1));
        // "Off" is three glyphs of 0.024 each from u = 0.51, "On" two.
        const Ink word = InkIn(sink, kLitOrange, 0.5, 0.7, 0.37, 0.45);
        EXPECT_GT(word.count, 100);
        if (rotate == 0) {
            EXPECT_GT(word.right, 0.56);
            EXPECT_LE(word.right, 0.582 + 0.002);
        } else {
            EXPECT_LT(word.right, 0.558 + 0.002);
        }
    }
}

TEST_F(Scenes, ResultShowsGoldLineAndRightAlignedPoints) {
    // A Red win: the gold line, the red flag, and "+5" in orange ending at u = 1.48.
    const CSceneCongr scene(0, 5);
    const MemorySink& sink = Draw(scene);
    EXPECT_GT(InkIn(sink, kLitGold, 0.1, 1.45, 0.8, 1.0).count, 5000);
    const Ink points = InkIn(sink, kLitOrange, 1.3, 1.5, 0.75, 0.83);
    EXPECT_GT(points.count, 100);
    EXPECT_LE(points.right, 1.48 + 0.001);
    EXPECT_GT(points.right, 1.48 - 0.012);
    EXPECT_GE(FlagPointsShowing(sink, scene, 0.5, 0.35, 0.6, true), kFlagSamples - 3);
}

TEST_F(Scenes, ResultWhiteWinsShowWhiteFlagAndOlivePointsAndZeroShowsNone) {
    // Results 3 and 6 give the white flag and olive points; every other code the red flag;
    // 0 points give no points text; an unknown code gives no line.
    for (std::int32_t result : {0, 1, 2, 3, 4, 5, 6, -1, 7}) {
        const bool white = result == 3 || result == 6;
        for (std::int32_t points : {0, 6}) {
            const CSceneCongr scene(result, points);
            const MemorySink& sink = Draw(scene);
            EXPECT_GE(FlagPointsShowing(sink, scene, 0.5, 0.35, 0.6, !white), kFlagSamples - 3)
                << result;
            const Ink olive = InkIn(sink, kLitOlive, 1.3, 1.5, 0.75, 0.83);
            const Ink orange = InkIn(sink, kLitOrange, 1.3, 1.5, 0.75, 0.83);
            EXPECT_EQ(olive.count > 100, white && points != 0) << result << " " << points;
            EXPECT_EQ(orange.count > 100, !white && points != 0) << result << " " << points;
            const bool hasLine = result >= 0 && result <= 6;
            EXPECT_EQ(InkIn(sink, kLitGold, 0.1, 1.45, 0.8, 1.0).count > 1000, hasLine) << result;
        }
    }
}

TEST_F(Scenes, EveryResultLineFitsAThreeByTwoWindow) {
    // The longest line, "White army won the battle", ends inside the canvas of a 3:2 window: no
    // gold past u = 1.45 at the line's height, and the text measures inside it as well. No
    // line reaches the top rows of the view either: its capitals are whole.
    for (std::int32_t result = 0; result <= 6; ++result) {
        const CSceneCongr scene(result, 0);
        const MemorySink& sink = Draw(scene);
        EXPECT_EQ(InkIn(sink, kLitGold, 1.45, 1.5, 0.8, 1.0).count, 0) << result;
        EXPECT_EQ(InkIn(sink, kLitGold, 0.0, 1.5, 0.99, 1.0).count, 0) << result;
        const std::string text(ResultText(result));
        EXPECT_LT(0.1 + SharedRenderer().GetTextWidth(text.c_str()) * 0.1, 1.45) << text;
    }
}

// A waved flag with the same gold text drawn after it twice: once across the cloth, once
// over the bare background below it, as a play screen draws its scores after its corner flag.
class TextOverFlag final : public CScene {
public:
    void Draw(CGraphics* graphics) const override {
        graphics->DrawFlag(0.5f, 0.45f, 0.6f, FlagPositions.data(), FlagNormals.data(), true);
        graphics->SetColor(1, 0.8f, 0.3f);
        // On the plain red of the cloth, left of its emblem and between its stripes.
        graphics->DrawString(0.56f, 0.52f, 0.1f, 0.2f, "88");
        graphics->DrawString(0.56f, 0.05f, 0.1f, 0.2f, "88");
    }
};

TEST_F(Scenes, TextDrawnAfterAFlagShowsWholeOverTheCloth) {
    // Texts are the top layer: wherever the waving cloth stands nearer than the canvas, a
    // text drawn after it must still show whole, as it does over the background.
    const TextOverFlag scene;
    const MemorySink& sink = Draw(scene);
    const int overCloth = InkIn(sink, kLitGold, 0.53, 0.72, 0.47, 0.72).count;
    const int overBackground = InkIn(sink, kLitGold, 0.53, 0.72, 0.0, 0.25).count;
    EXPECT_GT(overBackground, 1000);
    EXPECT_NEAR(overCloth, overBackground, overBackground / 50);
}

TEST_F(Scenes, PlaySnapshotsShowFlagScoresAndTheBoardWithItsPieces) {
    // Two-player snapshot: the corner flag, Red's score in orange over White's in olive, both
    // ending at u = 1.48, and every alive piece in its colour at its place; dead pieces absent.
    PieceTable table = CrowdedTable();
    const CameraAngles camera{30, 65};
    const CScenePlay2 two(table, camera, kWhite, 12, 3);
    const MemorySink& sink = Draw(two);
    const Ink red = InkIn(sink, kLitOrange, 1.3, 1.5, 0.75, 0.83);
    const Ink white = InkIn(sink, kLitOlive, 1.3, 1.5, 0.69, 0.75);
    EXPECT_GT(red.count, 100);
    EXPECT_GT(white.count, 50);
    EXPECT_LE(red.right, 1.481);
    EXPECT_LE(white.right, 1.481);
    EXPECT_GE(FlagPointsShowing(sink, two, 1.24, 0.83, 0.25, false), kFlagSamples - 5);
    const double angles[2] = {camera.azimuth, camera.elevation};
    for (const Piece& piece : table) {
        const Projected p = ProjectBoardPoint(1500, 1000, angles, piece.x, piece.y, 0.032);
        const Rgb c = sink.At(static_cast<int>(p.x), static_cast<int>(p.y));
        const Rgb want = piece.side == kRed ? Rgb{246, 123, 123} : Rgb{221, 221, 123};
        EXPECT_EQ(Near(c, want, 12), piece.alive != 0) << piece.x << "," << piece.y;
    }
    // One-player snapshot: a score of 0 is drawn as "0".
    const CScenePlay1 one(table, camera, kRed, 0);
    const MemorySink& single = Draw(one);
    const Ink zero = InkIn(single, kLitOrange, 1.3, 1.5, 0.75, 0.83);
    EXPECT_GT(zero.count, 50);
    EXPECT_GT(zero.right, 1.48 - 0.012);
    EXPECT_EQ(InkIn(single, kLitOlive, 1.3, 1.5, 0.69, 0.75).count, 0);
}
