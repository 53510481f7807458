#include "game/board.h"

#include "tests/setups/board_setups.h"

#include <gtest/gtest.h>

#include <cmath>

// Program start: sides fixed, nothing alive, camera at 30 / 65.
TEST(Board, ProgramStartFixesSidesAndCamera) {
    PieceTable table;
    table[3].alive = 1;
    table[9].x = 0.3;
    CameraAngles camera{1, 2};
    InitBoardAndCamera(table, camera);
    for (int k = 0; k < kPieceCount; ++k) {
        EXPECT_EQ(table[k].side, k < 8 ? kRed : kWhite);
        EXPECT_EQ(table[k].alive, 0);
        EXPECT_EQ(table[k].x, 0);
    }
    EXPECT_EQ(camera.azimuth, 30);
    EXPECT_EQ(camera.elevation, 65);
}

// Home rows put every piece alive, still and unselected at the exact square centres.
TEST(Board, HomeRowsStandOnSquareCentres) {
    PieceTable table = EmptyTable();
    table[2].vx = 3;
    table[12].selected = 1;
    table[5].aim = 77;
    PlacePieces(table, 0, 0);
    const double columns[8] = {0.1240234375, 0.2314453125, 0.3388671875, 0.4462890625,
                               0.5537109375, 0.6611328125, 0.7685546875, 0.8759765625};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(table[k].x, columns[k]);
        EXPECT_EQ(table[k + 8].x, columns[k]);
        EXPECT_EQ(table[k].y, 0.1240234375);
        EXPECT_EQ(table[k + 8].y, 0.8759765625);
    }
    for (const Piece& piece : table) {
        EXPECT_EQ(piece.alive, 1);
        EXPECT_EQ(piece.selected, 0);
        EXPECT_EQ(piece.vx, 0);
        EXPECT_EQ(piece.vy, 0);
    }
    EXPECT_EQ(table[5].aim, 77);  // aim is the player's, not the battle's
    EXPECT_EQ(table[12].side, kWhite);
}

// Red row r and White row 7 - r are one line of squares; rows summing to 6 never touch.
TEST(Board, ArmiesAtTheRowLimitStandClear) {
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(RowCentre(kRed, r), RowCentre(kWhite, 7 - r));
    PieceTable table = EmptyTable();
    PlacePieces(table, 6, 0);
    EXPECT_DOUBLE_EQ(table[8].y - table[0].y, kSquareSide);
    EXPECT_GT(table[8].y - table[0].y, kContactDistance);
    EXPECT_EQ(CountAlive(table, kRed), 8);
    table[3].alive = 0;
    table[11].alive = 0;
    table[12].alive = 0;
    EXPECT_EQ(CountAlive(table, kRed), 7);
    EXPECT_EQ(CountAlive(table, kWhite), 6);
}

// Aim 0 goes to +y, 90 to -x, 180 to -y; aim 0 gives vx = -0.0, which is "not moving".
TEST(Board, FlickVelocityFollowsTheAimConvention) {
    Velocity ahead = FlickVelocity(0, 2);
    EXPECT_EQ(ahead.vy, 2);
    EXPECT_EQ(ahead.vx, 0);
    EXPECT_TRUE(std::signbit(ahead.vx));
    Velocity left = FlickVelocity(90, 1);
    EXPECT_NEAR(left.vx, -1, 1e-15);
    EXPECT_NEAR(left.vy, 0, 1e-15);
    Velocity back = FlickVelocity(180, 1);
    EXPECT_NEAR(back.vy, -1, 1e-15);
}
