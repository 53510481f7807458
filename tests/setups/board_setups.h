#pragma once

#include "game/board.h"

#include <cstdint>
#include <string>
#include <vector>

/// Named board set-ups shared by the tests and the benchmarks, so that a position found in a
/// bug report can become a permanent case.

/// Sides fixed, no piece alive.
PieceTable EmptyTable();
/// Both armies on their home rows, as at the start of a GAME.
PieceTable OpeningTable();
/// A crowded mid-battle position: both armies advanced to neighbouring rows, with a few pieces
/// knocked off and others pushed out of line.
PieceTable CrowdedTable();
/// Late in a GAME: the lines one row apart (Red on row 4, White on row 2), three Red and two
/// White pieces left, scattered by earlier moves.
PieceTable LateGameTable();
/// A position of ordinary play: from the opening, `flicks` random flicks of alive pieces, each
/// played to rest (the same `seed` gives the same position). Both armies keep a piece.
PieceTable AfterRandomFlicks(std::uint32_t seed, int flicks);

/// Of the table as it stands, leaves one White piece (15) just in front of Red piece 3 near
/// White's edge and takes every other White piece off: from the opening, a Red flick of piece 3
/// along 0 degrees at speed 1.2 knocks the last White piece off and stays on the board.
void LeaveLastWhiteBeforeRed(PieceTable& table);

/// Makes piece k alive and still at (x, y).
void Put(PieceTable& table, int k, double x, double y);

/// Gives piece k the velocity of a flick along `aim` degrees at `speed`.
void Launch(PieceTable& table, int k, double aim, double speed);

/// Steps the table until it rests; returns the number of steps that moved something.
int RunToRest(PieceTable& table, std::int32_t& fallCount);

/// FNV-1a hash over the bits of every field of every piece.
std::uint64_t HashTable(const PieceTable& table, std::uint64_t seed = 14695981039346656037ull);

/// A flick from a set-up, for determinism tests and benchmarks.
struct ShotCase {
    std::string name;
    PieceTable table;
    int piece;
    double aim;
    double speed;
};

/// About twenty flicks covering chains of collisions, simultaneous contacts, overlaps,
/// pieces on the edge and falls.
std::vector<ShotCase> DeterminismShots();
