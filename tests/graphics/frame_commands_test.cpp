// Which pixels a change between two frames' commands can reach: a box around what moved, or
// the whole frame when that cannot be told. No context needed.
#include "graphics/frame_commands.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <limits>
#include <vector>

namespace {

using Adder = std::function<void(FrameCommands&)>;

const FrameProjection kFrame = ComputeProjection(1500, 1000);  // 1000 pixels per canvas unit
const PixelBox kWhole{0, 0, 1500, 1000};

struct Cloth {
    std::array<float, kFlagPointCount * 3> points{};
    std::array<float, kFlagPointCount * 3> normals{};
};
const Cloth kFlat;
const Cloth kMoved = [] {
    Cloth cloth;
    cloth.points[3 * 100] = 0.1f;  // one point out to u = 0.7 + 0.07
    return cloth;
}();

// Glyphs of 0.4 x 0.7 em standing on the baseline, advancing 0.5 em; code 1 draws nothing.
GlyphMetricsTable Glyphs() {
    GlyphMetricsTable glyphs{};
    for (GlyphMetric& g : glyphs)
        g = {0.4f, 0.7f, 0.05f, 0.7f, 0.5f, 0};
    glyphs[1] = {0, 0, 0, 0, 0.5f, 0};
    return glyphs;
}

// A settings-like frame: picture, colour, a knob, a word, the flag, then a board and a knob.
std::vector<Adder> Plain() {
    return {
        [](FrameCommands& f) { f.AddBackground(1); },
        [](FrameCommands& f) { f.AddColor(1, 0.37f, 0); },
        [](FrameCommands& f) { f.AddMarker(0.81f, 0.67f); },
        [](FrameCommands& f) { f.AddString(0.3f, 0.4f, 0.05f, 0.06f, "On"); },
        [](FrameCommands& f) {
            f.AddFlag(0.7f, 0.3f, 0.7f, kFlat.points.data(), kFlat.normals.data(), true);
        },
        [](FrameCommands& f) {
            f.AddBoard(PieceTable{}, std::array<double, 2>{30, 65}.data());
        },
        [](FrameCommands& f) { f.AddMarker(0.2f, 0.2f); },
    };
}

FrameCommands Record(const std::vector<Adder>& adders) {
    FrameCommands frame;
    for (const Adder& add : adders)
        add(frame);
    return frame;
}

bool Contains(const PixelBox& box, std::int32_t x, std::int32_t y) {
    return box.x0 <= x && x < box.x1 && box.y0 <= y && y < box.y1;
}

}  // namespace

TEST(FrameCommands, ChangedPixelsCoverEveryChangeAndLittleMore) {
    // Same frames change nothing; a knob, a word or the flag changing change a box around both
    // its places; a change of colour or picture, of length or of order, a change after the
    // board and a coordinate that is not a number change the whole frame.
    struct Case {
        const char* what;
        std::function<void(std::vector<Adder>&)> change;
        bool whole;
        std::vector<std::array<std::int32_t, 2>> inside{};  // pixels the box must hold
        std::int64_t largest = 0;                           // pixels it may have at most
    };
    const Case cases[] = {
        {"nothing", [](std::vector<Adder>&) {}, false, {}, 0},
        {"knob",
         [](std::vector<Adder>& a) { a[2] = [](FrameCommands& f) { f.AddMarker(0.9f, 0.67f); }; },
         false,
         {{800, 650}, {819, 689}, {909, 670}},
         140 * 50},
        {"word",
         [](std::vector<Adder>& a) {
             a[3] = [](FrameCommands& f) { f.AddString(0.3f, 0.4f, 0.05f, 0.06f, "Off"); };
         },
         false,
         {{303, 400}, {372, 441}},
         90 * 50},
        {"empty glyphs",
         [](std::vector<Adder>& a) {
             a[3] = [](FrameCommands& f) { f.AddString(0.3f, 0.4f, 0.05f, 0.06f, "\x01"); };
         },
         false,
         {{303, 400}},
         60 * 50},
        {"flag",
         [](std::vector<Adder>& a) {
             a[4] = [](FrameCommands& f) {
                 f.AddFlag(0.7f, 0.3f, 0.7f, kMoved.points.data(), kMoved.normals.data(), true);
             };
         },
         false,
         {{700, 300}, {769, 300}},
         80 * 10},
        {"army",
         [](std::vector<Adder>& a) {
             a[4] = [](FrameCommands& f) {
                 f.AddFlag(0.7f, 0.3f, 0.7f, kFlat.points.data(), kFlat.normals.data(), false);
             };
         },
         false,
         {{700, 300}},
         10 * 10},
        {"colour",
         [](std::vector<Adder>& a) { a[1] = [](FrameCommands& f) { f.AddColor(1, 1, 1); }; }, true},
        {"picture",
         [](std::vector<Adder>& a) { a[0] = [](FrameCommands& f) { f.AddBackground(0); }; }, true},
        {"after the board",
         [](std::vector<Adder>& a) { a[6] = [](FrameCommands& f) { f.AddMarker(0.3f, 0.2f); }; },
         true},
        {"one more", [](std::vector<Adder>& a) { a.push_back(a[2]); }, true},
        {"order", [](std::vector<Adder>& a) { std::swap(a[2], a[3]); }, true},
        {"not a number",
         [](std::vector<Adder>& a) {
             a[2] = [](FrameCommands& f) {
                 f.AddMarker(std::numeric_limits<float>::quiet_NaN(), 0.67f);
             };
         },
         true},
    };
    const GlyphMetricsTable glyphs = Glyphs();
    const FrameCommands before = Record(Plain());
    for (const Case& c : cases) {
        std::vector<Adder> adders = Plain();
        c.change(adders);
        const PixelBox box = ChangedPixels(before, Record(adders), kFrame, glyphs);
        if (c.whole) {
            EXPECT_EQ(box.Area(), kWhole.Area()) << c.what;
            continue;
        }
        EXPECT_LE(box.Area(), c.largest) << c.what;
        for (auto [x, y] : c.inside)
            EXPECT_TRUE(Contains(box, x, y)) << c.what << " " << x << "," << y;
    }
}

TEST(FrameCommands, RecordedArgumentsComeBackAsGiven) {
    // What is drawn later is what was asked for: texts with their end, the flag's arrays, the
    // board's table and camera; the caller's memory can go at once.
    FrameCommands frame;
    {
        std::string text = "RED ARMY WINS";
        Cloth cloth;
        cloth.points[7] = 0.25f;
        cloth.normals[779] = -1;
        PieceTable pieces{};
        pieces[9].x = 0.375;
        pieces[9].selected = 1;
        const double camera[2] = {200, 40};
        frame.AddString(0.1f, 0.4f, 0.1f, 0.3f, text.c_str());
        frame.AddFlag(1, 2, 3, cloth.points.data(), cloth.normals.data(), false);
        frame.AddBoard(pieces, camera);
    }
    const auto& c = frame.Commands();
    ASSERT_EQ(c.size(), 3u);
    EXPECT_STREQ(frame.Text(c[0]), "RED ARMY WINS");
    EXPECT_EQ(frame.FlagPositions(c[1])[7], 0.25f);
    EXPECT_EQ(frame.FlagNormals(c[1])[779], -1.0f);
    EXPECT_EQ(c[1].index, 0);
    EXPECT_EQ(frame.Pieces(c[2])[9].x, 0.375);
    EXPECT_EQ(frame.Pieces(c[2])[9].selected, 1);
    EXPECT_EQ(frame.Camera(c[2])[0], 200);
    EXPECT_TRUE(frame.SameAs(2, frame, 2));
    EXPECT_FALSE(frame.SameAs(1, frame, 2));
}
