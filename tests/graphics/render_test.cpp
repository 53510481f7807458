// Pixels of the renderer's operations on a real EGL context (Mesa llvmpipe).
#include "tests/graphics/render_support.h"
#include "tests/setups/board_setups.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr Rgb kOrange{255, 94, 0};
constexpr Rgb kLitGold{247, 199, 74};  // gold (1, 0.8, 0.3) lit face-on
constexpr Rgb kArrow{255, 26, 0};

bool IsClear(Rgb c) {
    return Near(c, ClearColour(), 1);
}

// The texel nearest to canvas point (u, v) of a background picture, allowing one texel of
// slack either way for where a pixel centre falls; true if `pixel` matches one of them.
bool ShowsBackgroundTexel(const DecodedPicture& picture, double u, double v, Rgb pixel) {
    const int tx = static_cast<int>(u / 1.5 * picture.width);
    const int ty = static_cast<int>((1 - v) * picture.height);
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int x = std::clamp(tx + dx, 0, picture.width - 1);
            const int y = std::clamp(ty + dy, 0, picture.height - 1);
            if (Near(pixel, picture.At(x, y), 1)) return true;
        }
    }
    return false;
}

Rgb CanvasPixel(const MemorySink& sink, double u, double v) {
    const PixelPoint p = CanvasToPixel(sink.width, sink.height, u, v);
    return sink.At(p.x, p.y);
}

Rgb BoardPixel(const MemorySink& sink, const double camera[2], double x, double y, double z) {
    const Projected p = ProjectBoardPoint(sink.width, sink.height, camera, x, y, z);
    return sink.At(static_cast<int>(p.x), static_cast<int>(p.y));
}

PieceTable OnePiece(double x, double y, bool alive, bool selected, double aim) {
    PieceTable table = EmptyTable();
    Put(table, 2, x, y);
    table[2].alive = alive ? 1 : 0;
    table[2].selected = selected ? 1 : 0;
    table[2].aim = aim;
    return table;
}

}  // namespace

TEST(Render, EmptyFrameIsClearColourEverywhere) {
    // A frame with nothing drawn is the clear colour (0, 0, 0.3) in every pixel, opaque.
    const MemorySink& sink = RenderFrame(1500, 1000, [](COpenGL&) {});
    ASSERT_EQ(sink.width, 1500);
    ASSERT_EQ(sink.height, 1000);
    for (std::uint32_t word : sink.topFirst) {
        ASSERT_EQ(word >> 24, 0xffu);
        ASSERT_TRUE(Near({static_cast<int>((word >> 16) & 0xff),
                          static_cast<int>((word >> 8) & 0xff), static_cast<int>(word & 0xff)},
                         ClearColour(), 1));
    }
}

TEST(Render, BackgroundCoversTheDesignRectangleInEveryAspect) {
    // The menu and settings pictures fill u 0-1.5, v 0-1 upright in a 3:2, a wide and a tall
    // window; the widened canvas beyond shows the clear colour.
    for (std::int32_t index : {0, 1}) {
        const DecodedPicture picture = DecodeTestPicture(134 + index);
        for (auto [w, h] : {std::pair{1500, 1000}, std::pair{2000, 1000}, std::pair{1000, 1000}}) {
            const MemorySink& sink =
                RenderFrame(w, h, [index](COpenGL& gl) { gl.DrawBackground(index); });
            for (double u = 0.02; u < 1.5; u += 0.0977) {
                for (double v = 0.02; v < 1; v += 0.0613) {
                    EXPECT_TRUE(ShowsBackgroundTexel(picture, u, v, CanvasPixel(sink, u, v)))
                        << w << "x" << h << " at " << u << "," << v;
                }
            }
            if (w == 2000) {
                EXPECT_TRUE(IsClear(CanvasPixel(sink, -0.1, 0.5)));
                EXPECT_TRUE(IsClear(CanvasPixel(sink, 1.6, 0.5)));
            }
            if (w == 1000) {
                EXPECT_TRUE(IsClear(CanvasPixel(sink, 0.7, -0.1)));
                EXPECT_TRUE(IsClear(CanvasPixel(sink, 0.7, 1.1)));
            }
        }
    }
}

TEST(Render, BackgroundIndexOtherThanMenuOrSettingsDrawsNothing) {
    // Indices 2 to 4 have no picture and others no texture at all: the frame stays clear.
    for (std::int32_t index : {2, 3, 4, -1, 5, INT_MAX, INT_MIN}) {
        const MemorySink& sink =
            RenderFrame(300, 200, [index](COpenGL& gl) { gl.DrawBackground(index); });
        for (std::uint32_t word : sink.topFirst)
            ASSERT_EQ(word, sink.topFirst[0]);
        EXPECT_TRUE(IsClear(sink.At(150, 100))) << index;
    }
}

TEST(Render, MarkerIsADiamondInTheCurrentColour) {
    // The knob is 0.02 wide and 0.04 high around its centre, unlit, in the colour set last.
    const MemorySink& sink = RenderFrame(1500, 1000, [](COpenGL& gl) {
        gl.DrawBackground(1);
        gl.SetColor(1.0f, 0.37f, 0.0f);
        gl.DrawMarker(0.81f, 0.67f);
    });
    EXPECT_TRUE(Near(CanvasPixel(sink, 0.81, 0.67), kOrange, 1));
    EXPECT_TRUE(Near(CanvasPixel(sink, 0.81, 0.685), kOrange, 1));
    EXPECT_TRUE(Near(CanvasPixel(sink, 0.802, 0.67), kOrange, 1));
    const DecodedPicture settings = DecodeTestPicture(135);
    for (auto [u, v] : {std::pair{0.821, 0.67}, std::pair{0.81, 0.692}, std::pair{0.819, 0.688}}) {
        EXPECT_TRUE(ShowsBackgroundTexel(settings, u, v, CanvasPixel(sink, u, v))) << u << "," << v;
    }
}

namespace {

void DrawGoldText(COpenGL& gl) {
    gl.SetColor(1.0f, 0.8f, 0.3f);
    gl.DrawString(0.1f, 0.4f, 0.1f, 0.3f, "RED ARMY WINS");
}

}  // namespace

TEST(Render, TextIsLitGoldAndLooksTheSameAfterAPlayFrame) {
    // Glyph faces come out in the lit gold, not ambient-dark, and a play frame before does not
    // change how the same text looks (no culling carried over).
    const std::vector<std::uint32_t> fresh = RenderFrame(1500, 1000, DrawGoldText).topFirst;
    int gold = 0;
    for (std::uint32_t word : fresh) {
        const Rgb c{static_cast<int>((word >> 16) & 0xff), static_cast<int>((word >> 8) & 0xff),
                    static_cast<int>(word & 0xff)};
        if (Near(c, kLitGold, 6)) ++gold;
    }
    EXPECT_GT(gold, 5000);
    const double camera[2] = {30, 65};
    RenderFrame(1500, 1000, [&](COpenGL& gl) { gl.DrawBoard(OpeningTable(), camera); });
    const std::vector<std::uint32_t> afterPlay = RenderFrame(1500, 1000, DrawGoldText).topFirst;
    EXPECT_TRUE(fresh == afterPlay);
}

TEST(Render, RightAlignedNumberEndsAtItsEdge) {
    // "+5" placed at 1.48 - width x 0.05 has its last inked column just left of u = 1.48.
    const MemorySink& sink = RenderFrame(1500, 1000, [](COpenGL& gl) {
        gl.SetColor(1.0f, 0.37f, 0.0f);
        const float width = gl.GetTextWidth("+5");
        gl.DrawString(static_cast<float>(1.48 - width * static_cast<double>(0.05f)), 0.76f, 0.05f,
                      0.06f, "+5");
    });
    int rightmost = -1;
    int leftmost = sink.width;
    for (int y = 700; y < 850; ++y) {
        for (int x = 1300; x < 1500; ++x) {
            if (IsClear(sink.At(x, y))) continue;
            rightmost = std::max(rightmost, x);
            leftmost = std::min(leftmost, x);
        }
    }
    EXPECT_LE(rightmost, 1480);
    EXPECT_GE(rightmost, 1480 - 12);
    EXPECT_GE(leftmost, 1480 - 50);  // two glyphs of 0.48 em at 0.05
}

TEST(Render, TextWidthIsFixedPitchAndCode255IsEmpty) {
    // Every printable code advances by the same amount; code 255 neither draws nor advances;
    // empty and null texts are 0 wide; every byte 1-255 can be drawn.
    COpenGL& gl = SharedRenderer();
    const float advance = gl.GetTextWidth("a");
    EXPECT_NEAR(advance, 0.602f * 0.8f, 0.01f);  // the face's 0.6 em, condensed
    EXPECT_EQ(gl.GetTextWidth(""), 0.0f);
    EXPECT_EQ(gl.GetTextWidth(nullptr), 0.0f);
    EXPECT_EQ(gl.GetTextWidth("0123456789"), 10 * advance);
    EXPECT_EQ(gl.GetTextWidth("a\xff"), advance);
    EXPECT_EQ(gl.GetTextWidth("\xe9\xfc"), 2 * advance);
    std::string every;
    for (int code = 1; code < 256; ++code)
        every.push_back(static_cast<char>(code));
    const MemorySink& sink = RenderFrame(400, 300, [&](COpenGL& g) {
        g.SetColor(1, 1, 1);
        g.DrawString(0.0f, 0.5f, 0.01f, 0.05f, every.c_str());
        g.DrawString(0.0f, 0.2f, 0.1f, 0.1f, "\xff\xff\xff");
    });
    EXPECT_EQ(sink.width, 400);
    // The three empty glyphs drew nothing at the start of their line.
    const PixelPoint start = CanvasToPixel(400, 300, 0.03, 0.23);
    EXPECT_TRUE(IsClear(sink.At(start.x, start.y)));
}

namespace {

// A flat cloth filling 1 x 0.6 cloth units, rows along x, columns along y, facing +z.
struct FlatCloth {
    std::array<float, kFlagPointCount * 3> positions{};
    std::array<float, kFlagPointCount * 3> normals{};
    FlatCloth() {
        for (int i = 0; i < kFlagRows; ++i) {
            for (int j = 0; j < kFlagColumns; ++j) {
                const int k = (i * kFlagColumns + j) * 3;
                positions[k] = static_cast<float>(i) / 19;
                positions[k + 1] = static_cast<float>(j) / 12 * 0.6f;
                normals[k + 2] = 1;
            }
        }
    }
};

}  // namespace

TEST(Render, FlagShowsItsArmysPictureLitWhite) {
    // A flat cloth shows the red or white flag picture upright (width along the rows, height
    // across the columns), shaded by the light falling on it.
    const FlatCloth cloth;
    for (bool red : {true, false}) {
        const DecodedPicture picture = DecodeTestPicture(red ? 131 : 132);
        const MemorySink& sink = RenderFrame(1500, 1000, [&](COpenGL& gl) {
            gl.DrawFlag(0.2f, 0.2f, 1.0f, cloth.positions.data(), cloth.normals.data(), red);
        });
        for (auto [s, t] :
             {std::pair{0.2, 0.2}, std::pair{0.8, 0.2}, std::pair{0.2, 0.8}, std::pair{0.8, 0.8}}) {
            const Rgb texel = picture.At(static_cast<int>(s * picture.width),
                                         static_cast<int>((1 - t) * picture.height));
            const Rgb lit{static_cast<int>(texel.r * 0.966), static_cast<int>(texel.g * 0.966),
                          static_cast<int>(texel.b * 0.966)};
            EXPECT_TRUE(Near(CanvasPixel(sink, 0.2 + s, 0.2 + t * 0.6), lit, 6))
                << red << " " << s << "," << t;
        }
    }
}

TEST(Render, PiecesShowTheirArmyColoursAtTheirCentres) {
    // Seen from several cameras, in a 3:2, a wide and a tall window (whose wider field of view
    // keeps the board's horizontal extent), each alive piece's top centre is lit red
    // (1, 0.5, 0.5) or white-army yellow (0.9, 0.9, 0.5), give or take the groove next to it.
    const PieceTable table = CrowdedTable();
    for (auto [w, h] : {std::pair{1500, 1000}, std::pair{2000, 1000}, std::pair{1000, 1000}}) {
        for (auto [azimuth, elevation] :
             {std::pair{0.0, 0.0}, std::pair{30.0, 65.0}, std::pair{200.0, 40.0}}) {
            const double camera[2] = {azimuth, elevation};
            const MemorySink& sink =
                RenderFrame(w, h, [&](COpenGL& gl) { gl.DrawBoard(table, camera); });
            for (const Piece& piece : table) {
                if (piece.alive == 0) continue;
                const Rgb c = BoardPixel(sink, camera, piece.x, piece.y, 0.032);
                const Rgb want = piece.side == kRed ? Rgb{246, 123, 123} : Rgb{221, 221, 123};
                EXPECT_TRUE(Near(c, want, 16))
                    << w << "x" << h << " " << azimuth << "/" << elevation << " piece at "
                    << piece.x << "," << piece.y << ": " << c.r << "," << c.g << "," << c.b;
            }
        }
    }
    // The tall window sees the board as wide as the 3:2 one does.
    const double camera[2] = {0, 0};
    const Projected wide = ProjectBoardPoint(1500, 1000, camera, 1, 0.5, 0);
    const Projected tall = ProjectBoardPoint(1000, 1000, camera, 1, 0.5, 0);
    EXPECT_NEAR((wide.x - 750) / 1500, (tall.x - 500) / 1000, 1e-9);
}

TEST(Render, SelectedAlivePieceAloneShowsAnArrowBehindIt) {
    // The arrow runs from the rim to three radii behind the piece, along (sin aim, -cos aim);
    // a dead selected piece and an alive unselected one show none.
    const double camera[2] = {0, 0};
    for (double aim : {0.0, 90.0, 225.0}) {
        const double a = aim * std::numbers::pi / 180;
        const double bx = 0.5 + 0.1 * std::sin(a), by = 0.5 - 0.1 * std::cos(a);
        const MemorySink& shown = RenderFrame(1500, 1000, [&](COpenGL& gl) {
            gl.DrawBoard(OnePiece(0.5, 0.5, true, true, aim), camera);
        });
        EXPECT_TRUE(Near(BoardPixel(shown, camera, bx, by, 0.02), kArrow, 2)) << aim;
        // Nothing in front of the piece.
        EXPECT_FALSE(Near(BoardPixel(shown, camera, 1 - bx, 1 - by, 0), kArrow, 40)) << aim;
        for (auto [alive, selected] : {std::pair{false, true}, std::pair{true, false}}) {
            const MemorySink& hidden = RenderFrame(1500, 1000, [&](COpenGL& gl) {
                gl.DrawBoard(OnePiece(0.5, 0.5, alive, selected, aim), camera);
            });
            EXPECT_FALSE(Near(BoardPixel(hidden, camera, bx, by, 0.02), kArrow, 40)) << aim;
        }
    }
}

TEST(Render, ShadowIsCutOffAtTheBoardsEdge) {
    // A piece over the right edge darkens the board beside it but not the space beyond it.
    const double camera[2] = {0, 0};
    const std::vector<std::uint32_t> empty =
        RenderFrame(1500, 1000, [&](COpenGL& gl) { gl.DrawBoard(EmptyTable(), camera); }).topFirst;
    MemorySink without;
    without.width = 1500;
    without.height = 1000;
    without.topFirst = empty;
    const MemorySink& with = RenderFrame(1500, 1000, [&](COpenGL& gl) {
        gl.DrawBoard(OnePiece(0.99, 0.5, true, false, 0), camera);
    });
    const Rgb board = BoardPixel(without, camera, 0.995, 0.56, 0);
    const Rgb shaded = BoardPixel(with, camera, 0.995, 0.56, 0);
    EXPECT_TRUE(Near(shaded, {board.r * 6 / 10, board.g * 6 / 10, board.b * 6 / 10}, 2))
        << shaded.r << "," << shaded.g << "," << shaded.b;
    EXPECT_TRUE(IsClear(BoardPixel(without, camera, 1.037, 0.573, 0)));
    EXPECT_TRUE(IsClear(BoardPixel(with, camera, 1.037, 0.573, 0)));
    // The piece itself is drawn whole beyond the edge.
    EXPECT_TRUE(Near(BoardPixel(with, camera, 1.03, 0.5, 0.032), {246, 123, 123}, 12));
}

TEST(Render, SceneLargerThanTheSurfaceIsCutOffNotOverrun) {
    // A 3000 x 2000 scene on a 2048 x 1280 surface yields the bottom-left 2048 x 1280 of the
    // picture; a 0 x 0 scene a single pixel.
    COpenGL& gl = SharedRenderer();
    const MemorySink& big = RenderFrame(3000, 2000, [](COpenGL& g) { g.DrawBackground(0); });
    EXPECT_EQ(big.width, gl.SurfaceWidth());
    EXPECT_EQ(big.height, gl.SurfaceHeight());
    const DecodedPicture menu = DecodeTestPicture(134);
    // 2000 pixels per canvas unit: pixel (100, 100) shows canvas (0.05, 0.05).
    EXPECT_TRUE(ShowsBackgroundTexel(menu, 0.05, 0.05, big.At(100, 100)));
    const MemorySink& tiny = RenderFrame(0, 0, [](COpenGL& g) { g.DrawBackground(0); });
    EXPECT_EQ(tiny.width, 1);
    EXPECT_EQ(tiny.height, 1);
    const MemorySink& wide = RenderFrame(100000, 50, [](COpenGL&) {});
    EXPECT_EQ(wide.width, gl.SurfaceWidth());
    EXPECT_EQ(wide.height, 50);
}

TEST(Render, MissingPicturesGivePlainTexturesAndNoPickBeforeAFrame) {
    // A renderer whose pictures are absent or undecodable draws plain grey backgrounds, and
    // before its first frame it picks nothing.
    const unsigned char garbage[] = {0xff, 0xd8, 0xff, 0xe0, 0, 0x10, 'J', 'F', 'I', 'F', 0};
    COpenGL gl(640, 480,
               [&](int id) { return id == 134 ? PictureBytes{} : PictureBytes(garbage); });
    ASSERT_TRUE(gl.IsReady());
    EXPECT_EQ(gl.UndecodedPictures(), (std::vector<int>{129, 130, 131, 132, 133, 134, 135}));
    const double camera[2] = {30, 65};
    EXPECT_EQ(gl.PickPiece(OpeningTable(), camera, 320, 240), -1);
    MemorySink sink;
    gl.SetFrameSink(&sink);
    for (std::int32_t index : {0, 1}) {
        gl.BeginFrame(600, 400);
        gl.DrawBackground(index);
        gl.EndFrame();
        ASSERT_EQ(sink.frames, index + 1);
        EXPECT_TRUE(Near(sink.At(300, 200), {kPlainTexel, kPlainTexel, kPlainTexel}, 0));
    }
}

TEST(Render, OnlyThePicturesThatCannotBeDecodedAreNamed) {
    // Cut short, a picture's header is still readable but its pixels are not.
    const PictureBytes whole = TestPictures()(133);
    const PictureBytes cut = whole.first(whole.size() / 2);
    COpenGL gl(64, 64, [&](int id) { return id == 130 || id == 133 ? cut : TestPictures()(id); });
    ASSERT_TRUE(gl.IsReady());
    EXPECT_EQ(gl.UndecodedPictures(), (std::vector<int>{130, 133}));
    EXPECT_TRUE(gl.HasFont());
    EXPECT_STREQ(gl.ContextFailure(), "");
}
