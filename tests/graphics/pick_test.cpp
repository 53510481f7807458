// Picking pieces through OpenGL's selection mode on a real context.
#include "tests/graphics/render_support.h"
#include "tests/setups/board_setups.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr std::int32_t kWidth = 1500;
constexpr std::int32_t kHeight = 1000;

COpenGL& RendererAfterAFrame() {
    return SharedRenderer();
}

std::int32_t PickAt(const PieceTable& table, const double camera[2], double x, double y, double z) {
    const Projected p = ProjectBoardPoint(kWidth, kHeight, camera, x, y, z);
    return RendererAfterAFrame().PickPiece(table, camera,
                                           static_cast<std::int32_t>(std::lround(p.x)),
                                           static_cast<std::int32_t>(std::lround(p.y)));
}

}  // namespace

// Picking uses the size of the last frame drawn: each test draws one first.
class Pick : public ::testing::Test {
protected:
    void SetUp() override {
        RenderFrame(kWidth, kHeight, [](COpenGL&) {});
    }
};

TEST_F(Pick, EveryAlivePieceAtItsProjectedCentreFromSeveralCameras) {
    // The pixel over each alive piece's top centre picks that piece, whatever the view.
    PieceTable spread = OpeningTable();
    PlacePieces(spread, 3, 2);  // rows apart, so no piece hides another's centre
    const PieceTable tables[] = {OpeningTable(), spread};
    for (const PieceTable& table : tables) {
        for (auto [azimuth, elevation] : {std::pair{30.0, 65.0}, std::pair{0.0, 0.0},
                                          std::pair{135.0, 50.0}, std::pair{270.0, 30.0}}) {
            const double camera[2] = {azimuth, elevation};
            for (int i = 0; i < kPieceCount; ++i) {
                if (table[i].alive == 0) continue;
                EXPECT_EQ(PickAt(table, camera, table[i].x, table[i].y, 0.032), i)
                    << "camera " << azimuth << "/" << elevation;
            }
        }
    }
}

TEST_F(Pick, BoardOffTheBoardAndDeadPiecesGiveMinusOne) {
    // Only alive pieces can be hit: not the bare board, not the space around it, not a piece
    // that has fallen off even if its record still lies on the board.
    PieceTable table = OpeningTable();
    const double camera[2] = {30, 65};
    EXPECT_EQ(PickAt(table, camera, 0.5, 0.5, 0), -1);
    EXPECT_EQ(PickAt(table, camera, 0.3, 0.45, 0), -1);
    EXPECT_EQ(RendererAfterAFrame().PickPiece(table, camera, 3, 3), -1);
    EXPECT_EQ(RendererAfterAFrame().PickPiece(table, camera, kWidth - 2, kHeight - 2), -1);
    EXPECT_EQ(RendererAfterAFrame().PickPiece(table, camera, -50, 100000), -1);
    table[3].alive = 0;
    table[12].alive = 0;
    EXPECT_EQ(PickAt(table, camera, table[3].x, table[3].y, 0.032), -1);
    EXPECT_EQ(PickAt(table, camera, table[12].x, table[12].y, 0.032), -1);
}

TEST_F(Pick, NearerOfTwoOverlappingPiecesWins) {
    // Where one piece hides part of another on the screen, the one nearer the viewer is
    // picked, whichever index it has.
    const double camera[2] = {0, 75};  // low over Red's edge: lower y is nearer
    for (auto [nearIndex, farIndex] : {std::pair{2, 9}, std::pair{9, 2}}) {
        PieceTable table = EmptyTable();
        Put(table, nearIndex, 0.5, 0.40);
        Put(table, farIndex, 0.5, 0.50);  // 0.1 apart: not touching
        // A point low on the far piece's near rim lies on the screen inside the near piece's
        // top, which is nearer: the near piece hides it and wins there.
        const Projected farRim = ProjectBoardPoint(kWidth, kHeight, camera, 0.5, 0.451, 0.012);
        const Projected nearFront = ProjectBoardPoint(kWidth, kHeight, camera, 0.5, 0.351, 0.032);
        const Projected nearBack = ProjectBoardPoint(kWidth, kHeight, camera, 0.5, 0.449, 0.032);
        ASSERT_GT(farRim.y, nearFront.y + 2);
        ASSERT_LT(farRim.y, nearBack.y - 2);
        EXPECT_EQ(PickAt(table, camera, 0.5, 0.451, 0.012), nearIndex);
        // The far piece's top beyond the near one is still the far piece.
        EXPECT_EQ(PickAt(table, camera, 0.5, 0.53, 0.032), farIndex);
    }
}
