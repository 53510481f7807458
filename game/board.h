#pragma once

#include <array>
#include <cstdint>

/// The board, its sixteen pieces and the camera that looks at them. The board is the unit square
/// in board units; x runs across the columns, y from Red's home edge (0) to White's (1).

/// Army of a piece: one byte, 1 for the Red army, 0 for the White army.
inline constexpr std::uint8_t kRed = 1;
inline constexpr std::uint8_t kWhite = 0;

inline constexpr int kPieceCount = 16;
inline constexpr int kArmySize = 8;

inline constexpr double kBoardMargin = 0.0703125;   ///< 9/128, plain border on every side
inline constexpr double kSquareSide = 0.107421875;  ///< 55/512; 2 margins + 8 squares = 1
inline constexpr double kPieceRadius = 0.049;       ///< board units
inline constexpr double kContactDistance = 0.098;   ///< centres this far apart touch
inline constexpr double kContactDistanceSquared = 0.009604;

/// One piece. Velocities are in board units per second; aim is in degrees, and a flick of
/// speed v along aim a moves the piece by (-v sin a, v cos a).
struct Piece {
    double x = 0;
    double y = 0;
    double vx = 0;
    double vy = 0;
    double aim = 0;
    std::uint8_t side = 0;      ///< kRed or kWhite, fixed at program start
    std::uint8_t alive = 0;     ///< 1 while the centre is on the board
    std::uint8_t selected = 0;  ///< 1 while chosen for the next flick
};

/// A table of sixteen pieces: 0 to 7 the Red army, 8 to 15 the White army; piece k and k + 8
/// stand in column k. The live one is `Board`; the opponent plays trial shots on copies.
using PieceTable = std::array<Piece, kPieceCount>;

/// View angles in degrees.
struct CameraAngles {
    double azimuth = 30;
    double elevation = 65;
};

/// The one live piece table of the program, shared by every play screen.
extern PieceTable Board;
/// The one camera of the program.
extern CameraAngles Camera;

/// Program-start state: sides fixed (0-7 Red, 8-15 White), every other field zero, so no piece
/// is alive before the first battle; camera at azimuth 30, elevation 65.
void InitBoardAndCamera(PieceTable& table, CameraAngles& camera);

/// Centre x of column c (0-7).
double ColumnCentre(int column);
/// Centre y of the given army's row r (0-7), rows counted from that army's own home edge.
double RowCentre(std::uint8_t side, int row);

/// Sets the two armies on their rows for a new battle: every piece alive, still and unselected;
/// aim and side are left alone.
void PlacePieces(PieceTable& table, int redRow, int whiteRow);

/// Number of alive pieces of the given army.
int CountAlive(const PieceTable& table, std::uint8_t side);

/// True if `index` names a piece of the table (0 to 15).
inline bool IsPieceIndex(int index) {
    return index >= 0 && index < kPieceCount;
}

/// Velocity (vx, vy) of a flick at `speed` board units per second along `aimDegrees`.
/// Every flick of the game, live or tried by the opponent, computes its velocity here, with the
/// game's own sine and cosine, so that both machines of a network game get the same bits.
struct Velocity {
    double vx;
    double vy;
};
Velocity FlickVelocity(double aimDegrees, double speed);
