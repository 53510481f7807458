#include "board.h"

#include "portable_trig.h"

#include <numbers>

PieceTable Board;
CameraAngles Camera;

void InitBoardAndCamera(PieceTable& table, CameraAngles& camera) {
    for (int k = 0; k < kPieceCount; ++k) {
        table[k] = Piece{};
        table[k].side = k < kArmySize ? kRed : kWhite;
    }
    camera = CameraAngles{30, 65};
}

double ColumnCentre(int column) {
    return kBoardMargin + (column + 0.5) * kSquareSide;
}

double RowCentre(std::uint8_t side, int row) {
    double fromHome = kBoardMargin + (row + 0.5) * kSquareSide;
    return side == kRed ? fromHome : 1 - kBoardMargin - (row + 0.5) * kSquareSide;
}

void PlacePieces(PieceTable& table, int redRow, int whiteRow) {
    for (int k = 0; k < kArmySize; ++k) {
        Piece& red = table[k];
        Piece& white = table[k + kArmySize];
        red.x = white.x = ColumnCentre(k);
        red.y = RowCentre(kRed, redRow);
        white.y = RowCentre(kWhite, whiteRow);
        for (Piece* piece : {&red, &white}) {
            piece->vx = piece->vy = 0;
            piece->alive = 1;
            piece->selected = 0;
        }
    }
}

int CountAlive(const PieceTable& table, std::uint8_t side) {
    int count = 0;
    for (const Piece& piece : table) {
        if (piece.alive && piece.side == side) ++count;
    }
    return count;
}

// Both machines of a network game compute every flick's velocity themselves: the sine and cosine
// are our own so that the bits do not depend on the CPU's C library code path.
Velocity FlickVelocity(double aimDegrees, double speed) {
    double a = aimDegrees * std::numbers::pi / 180;
    return {-(PortableSin(a) * speed), PortableCos(a) * speed};
}
