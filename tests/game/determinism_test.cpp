#include "game/physics.h"
#include "tests/setups/board_setups.h"

#include <gtest/gtest.h>

#include <cstdio>

// Every machine of a network game must compute the same motion bit for bit. A fixed set of
// flicks is run to rest and the final tables hashed; the hash is a recorded constant, equal in
// the optimized and the sanitizer build. If it changes, motion has changed: find out why
// before recording a new value.
TEST(Determinism, FixedShotsComeToRestOnRecordedTables) {
    constexpr std::uint64_t kRecordedHash = 0xd8f9ecb9d96c347aull;
    std::uint64_t hash = 14695981039346656037ull;
    std::int32_t totalFalls = 0;
    int totalSteps = 0;
    for (ShotCase shot : DeterminismShots()) {
        Launch(shot.table, shot.piece, shot.aim, shot.speed);
        std::int32_t falls = 0;
        totalSteps += RunToRest(shot.table, falls);
        totalFalls += falls;
        hash = HashTable(shot.table, hash);
    }
    std::printf("steps %d, falls %d, hash 0x%016llx\n", totalSteps, totalFalls,
                static_cast<unsigned long long>(hash));
    EXPECT_GT(totalFalls, 0);
    EXPECT_EQ(hash, kRecordedHash);
}

// Two runs of the same flick in one process give the same table (no hidden state).
TEST(Determinism, SameFlickTwiceGivesSameTable) {
    for (ShotCase shot : DeterminismShots()) {
        PieceTable first = shot.table;
        PieceTable second = shot.table;
        Launch(first, shot.piece, shot.aim, shot.speed);
        Launch(second, shot.piece, shot.aim, shot.speed);
        std::int32_t falls = 0;
        RunToRest(first, falls);
        RunToRest(second, falls);
        EXPECT_EQ(HashTable(first), HashTable(second)) << shot.name;
    }
}
