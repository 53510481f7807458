#include "tests/setups/board_setups.h"

#include "game/physics.h"

#include <cstring>

PieceTable EmptyTable() {
    PieceTable table;
    CameraAngles camera;
    InitBoardAndCamera(table, camera);
    return table;
}

PieceTable OpeningTable() {
    PieceTable table = EmptyTable();
    PlacePieces(table, 0, 0);
    return table;
}

PieceTable CrowdedTable() {
    PieceTable table = EmptyTable();
    PlacePieces(table, 3, 3);
    table[1].alive = 0;
    table[6].alive = 0;
    table[12].alive = 0;
    table[3].y += 0.03;
    table[4].x += 0.02;
    table[10].y -= 0.04;
    table[13].x -= 0.03;
    return table;
}

PieceTable LateGameTable() {
    PieceTable table = EmptyTable();
    PlacePieces(table, 4, 2);
    for (int k : {0, 2, 3, 4, 7, 8, 10, 11, 13, 14, 15})
        table[k].alive = 0;
    table[1].x += 0.05;
    table[5].y -= 0.06;
    table[6].x -= 0.04;
    table[9].y += 0.03;
    table[12].x += 0.08;
    return table;
}

PieceTable AfterRandomFlicks(std::uint32_t seed, int flicks) {
    PieceTable table = OpeningTable();
    std::uint32_t state = seed;
    auto next = [&state](std::uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % range;
    };
    for (int n = 0; n < flicks; ++n) {
        PieceTable before = table;
        int piece = static_cast<int>(next(16));
        while (!table[piece].alive)
            piece = (piece + 1) % 16;
        // Drawn one statement at a time: the order of a call's arguments is the compiler's
        // choice, and every compiler must set up the same position.
        double speed = 0.5 + next(95) / 10.0;
        double aim = next(3600) / 10.0 - 180;
        Launch(table, piece, aim, speed);
        std::int32_t falls = 0;
        RunToRest(table, falls);
        if (CountAlive(table, kRed) == 0 || CountAlive(table, kWhite) == 0) table = before;
    }
    return table;
}

void LeaveLastWhiteBeforeRed(PieceTable& table) {
    for (int k = kArmySize; k < kPieceCount - 1; ++k)
        table[k].alive = 0;
    table[15].x = table[3].x;
    table[15].y = 0.95;
    table[3].y = 0.83;
}

void Put(PieceTable& table, int k, double x, double y) {
    table[k].x = x;
    table[k].y = y;
    table[k].vx = table[k].vy = 0;
    table[k].alive = 1;
}

void Launch(PieceTable& table, int k, double aim, double speed) {
    Velocity v = FlickVelocity(aim, speed);
    table[k].vx = v.vx;
    table[k].vy = v.vy;
}

int RunToRest(PieceTable& table, std::int32_t& fallCount) {
    int steps = 0;
    while (StepPhysics(table, fallCount))
        ++steps;
    return steps;
}

std::uint64_t HashTable(const PieceTable& table, std::uint64_t seed) {
    std::uint64_t hash = seed;
    auto mix = [&hash](const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t n = 0; n < size; ++n) {
            hash ^= bytes[n];
            hash *= 1099511628211ull;
        }
    };
    for (const Piece& piece : table) {
        for (double value : {piece.x, piece.y, piece.vx, piece.vy, piece.aim}) {
            mix(&value, sizeof value);
        }
        for (std::uint8_t flag : {piece.side, piece.alive, piece.selected})
            mix(&flag, 1);
    }
    return hash;
}

namespace {

/// A straight line of touching pieces along y, for chains of collisions.
PieceTable Cradle(int length, double gap) {
    PieceTable table = EmptyTable();
    for (int k = 0; k < length; ++k)
        Put(table, 8 + k, 0.5, 0.5 + k * (kContactDistance + gap));
    Put(table, 0, 0.5, 0.2);
    return table;
}

/// Two pieces touching side by side, struck symmetrically between them.
PieceTable Wedge() {
    PieceTable table = EmptyTable();
    Put(table, 8, 0.5 - kContactDistance / 2, 0.6);
    Put(table, 9, 0.5 + kContactDistance / 2, 0.6);
    Put(table, 0, 0.5, 0.3);
    return table;
}

PieceTable Overlapping() {
    PieceTable table = EmptyTable();
    Put(table, 8, 0.5, 0.5);
    Put(table, 9, 0.5, 0.5 + 0.09);  // closer than the contact distance
    Put(table, 0, 0.5, 0.3);
    return table;
}

PieceTable OnTheEdge() {
    PieceTable table = EmptyTable();
    Put(table, 8, 1.0, 0.5);
    Put(table, 9, 0.5, 1.0);
    Put(table, 10, 0.0, 0.0);
    Put(table, 0, 0.8, 0.5);
    return table;
}

PieceTable Diamond() {
    PieceTable table = EmptyTable();
    Put(table, 8, 0.5, 0.6);
    Put(table, 9, 0.5 - 0.049, 0.6 + 0.0849);
    Put(table, 10, 0.5 + 0.049, 0.6 + 0.0849);
    Put(table, 11, 0.5, 0.6 + 0.1698);
    Put(table, 0, 0.5, 0.2);
    return table;
}

}  // namespace

std::vector<ShotCase> DeterminismShots() {
    return {
        {"opening straight", OpeningTable(), 3, 0, 5},
        {"opening long diagonal", OpeningTable(), 0, -40, 7.5},
        {"opening hard into crowd", OpeningTable(), 4, 3.3, 9.9},
        {"opening sideways along own row", OpeningTable(), 0, -90, 4},
        {"opening backwards off the board", OpeningTable(), 5, 180, 1.2},
        {"white opening shot", OpeningTable(), 11, 177, 6.4},
        {"crowded glancing", CrowdedTable(), 2, 12.5, 6},
        {"crowded break", CrowdedTable(), 5, -7, 9.9},
        {"crowded white reply", CrowdedTable(), 14, 190, 8.1},
        {"cradle touching", Cradle(4, 0), 0, 0, 3},
        {"cradle with gaps", Cradle(6, 0.001), 0, 0, 6},
        {"cradle off axis", Cradle(5, 0), 0, 2, 4.5},
        {"wedge simultaneous", Wedge(), 0, 0, 4},
        {"wedge off centre", Wedge(), 0, 1e-9, 4},
        {"overlap rewound", Overlapping(), 0, 0, 3},
        {"overlap already closing", Overlapping(), 8, 0, 0.5},
        {"edge pieces struck", OnTheEdge(), 0, -90, 2},
        {"edge piece nudged out", OnTheEdge(), 8, -90, 0.01},
        {"diamond split", Diamond(), 0, 0, 5},
        {"slow creep stops", OpeningTable(), 2, 45, 0.05},
    };
}
