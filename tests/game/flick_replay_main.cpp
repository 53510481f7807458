// Replays fixed flicks to rest and prints one hash per final table, so that two runs under
// different C library code paths (see cross_cpu_test.cpp) can be compared line by line.
//   flick_replay          the flicks, through FlickVelocity and StepPhysics
//   flick_replay --libm   the C library's sine and cosine bits for the same aims
// Every aim is one where x86-64 glibc's FMA and non-FMA paths give different bits of sin or cos.

#include "game/board.h"
#include "tests/setups/board_setups.h"

#include <bit>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

namespace {

struct ReplayFlick {
    const char* name;
    bool crowded;  ///< from CrowdedTable, else from OpeningTable
    int piece;
    double aim;
    double speed;
};

const ReplayFlick kFlicks[] = {
    {"red opening, sine differs", false, 3, 48, 6},
    {"red opening to the right", false, 6, -48, 4.5},
    {"red opening, cosine differs", false, 0, -28.984375, 8},
    {"white opening across", false, 12, 204.75, 7.5},
    {"white opening, wound past a turn", false, 9, 1182.75, 6.6},
    {"red crowded break, cosine differs", true, 2, -48.125, 9.9},
    {"red crowded nudge", true, 5, 342, 2.5},
    {"white crowded reply", true, 13, 160.171875, 5},
    {"white crowded long", true, 10, 186.8125, 4.2},
};

void PrintReplays() {
    for (const ReplayFlick& flick : kFlicks) {
        PieceTable table = flick.crowded ? CrowdedTable() : OpeningTable();
        Launch(table, flick.piece, flick.aim, flick.speed);
        std::int32_t falls = 0;
        int steps = RunToRest(table, falls);
        std::printf("%-36s steps %4d falls %d hash %016" PRIx64 "\n", flick.name, steps, falls,
                    HashTable(table));
    }
}

void PrintLibmBits() {
    for (const ReplayFlick& flick : kFlicks) {
        // Through a volatile, so that the compiler cannot work the sine out at compile time.
        volatile double aim = flick.aim;
        double a = aim * std::numbers::pi / 180;
        std::printf("aim %-12g sin %016" PRIx64 " cos %016" PRIx64 "\n", flick.aim,
                    std::bit_cast<std::uint64_t>(std::sin(a)),
                    std::bit_cast<std::uint64_t>(std::cos(a)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--libm") == 0) {
        PrintLibmBits();
    } else {
        PrintReplays();
    }
    return 0;
}
