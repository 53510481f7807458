#include "game/settle_bound.h"

#include "game/motion.h"
#include "game/opponent.h"
#include "game/physics.h"
#include "game/random.h"
#include "tests/game/literal_opponent.h"
#include "tests/setups/board_setups.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

/// Alive pieces of each army, Red first.
std::array<int, 2> Counts(const MotionTable& t) {
    std::array<int, 2> counts{};
    for (int k = 0; k < kPieceCount; ++k)
        counts[k < kArmySize ? 0 : 1] += t.alive[k];
    return counts;
}

MotionTable Lone(double x, double y, double vx, double vy) {
    PieceTable table = EmptyTable();
    Put(table, 0, x, y);
    table[0].vx = vx;
    table[0].vy = vy;
    return LoadMotion(table);
}

}  // namespace

// A lone piece slides no farther than the bound, and the bound is no looser than the one step
// of friction and the margin it adds: from the slowest moving speed to a long slide.
TEST(SettleBound, TravelBoundHoldsAndIsTight) {
    for (double speed : {0.0081, 0.01, 0.05, 0.3, 0.77, 1.0, 1.25}) {
        Motion motion(Lone(0.5, 0.5, speed * 0.6, speed * 0.8));
        std::int32_t falls = 0;
        while (motion.Step(falls)) {
        }
        const Body& b = motion.Table().body[0];
        double slid = std::hypot(b.x - 0.5, b.y - 0.5);
        double bound = RemainingTravelBound(speed);
        EXPECT_LE(slid, bound) << speed;
        EXPECT_LE(bound, slid + 0.0055 * speed + 5e-5) << speed;
    }
}

// Settled means: no moving piece can reach an edge, nor come within the contact distance of
// another piece; two pieces at rest may touch.
TEST(SettleBound, SettledOnlyWhenNothingCanFallOrTouch) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(OutcomeIsSettled(Lone(0.5, 0.5, 0.5, 0)));    // slides 0.08
    EXPECT_FALSE(OutcomeIsSettled(Lone(0.5, 0.5, 1.3, 0)));   // might reach x = 1
    EXPECT_FALSE(OutcomeIsSettled(Lone(0.06, 0.5, 0, 0.5)));  // sideways, near x = 0
    EXPECT_TRUE(OutcomeIsSettled(Lone(0.2, 0.5, 0, 0.5)));
    EXPECT_FALSE(OutcomeIsSettled(Lone(0.5, 0.5, nan, 0)));
    EXPECT_TRUE(OutcomeIsSettled(LoadMotion(OpeningTable())));  // nothing moves
    MotionTable near = Lone(0.5, 0.5, 0.2, 0);
    near.body[1] = {0.5, 0.62, 0, 0};  // 0.12 apart: the slide of 0.0135 cannot close 0.022
    near.alive[1] = 1;
    EXPECT_TRUE(OutcomeIsSettled(near));
    near.body[1].y = 0.6;  // 0.1 apart, the slide could close it
    EXPECT_FALSE(OutcomeIsSettled(near));
    MotionTable touching = Lone(0.2, 0.2, 0.1, 0);
    touching.body[2] = {0.7, 0.7, 0, 0};
    touching.body[3] = {0.7, 0.7 + 0.098, 0, 0};  // two pieces at rest, touching
    touching.alive[2] = touching.alive[3] = 1;
    EXPECT_TRUE(OutcomeIsSettled(touching));
}

// The early stop of the computer's trials against running them to rest, on thousands of trials
// from every kind of position: from the first step at which a trial counts as settled, no alive
// flag may change any more, and the outcome the opponent records is the literal one.
TEST(SettleBound, EarlyStopGivesTheOutcomeOfRunningToRest) {
    std::vector<PieceTable> positions = {OpeningTable(), CrowdedTable(), LateGameTable()};
    for (std::uint32_t seed = 1; seed <= 7; ++seed)
        positions.push_back(AfterRandomFlicks(seed * 7, 2 + static_cast<int>(seed % 4)));
    int trials = 0, stoppedEarly = 0, passLimitTrials = 0, stepsToRest = 0, stepsToSettle = 0;
    SetRandState(4242);
    for (const PieceTable& position : positions) {
        for (int choice = 0; choice < 4; ++choice) {
            PieceTable live = position;
            OpponentState state;
            ChooseShot(state, live, kRed, {CountAlive(live, kRed), CountAlive(live, kWhite)});
            for (const ShotCandidate& chosen : state.candidates) {
                ShotCandidate literal = chosen;
                LiteralChoiceStats stats;
                LiteralTryShot(literal, position, &stats);
                ASSERT_EQ(chosen.redLeft, literal.redLeft);
                ASSERT_EQ(chosen.whiteLeft, literal.whiteLeft);
                passLimitTrials += stats.passLimitSteps > 0;
                PieceTable flicked = position;
                Launch(flicked, chosen.shooter, chosen.aim, chosen.trialSpeed);
                Motion motion(LoadMotion(flicked));
                std::int32_t falls = 0;
                int step = 0, settledAt = -1;
                std::array<int, 2> atSettling{};
                for (; motion.Step(falls); ++step) {
                    if (settledAt < 0 && OutcomeIsSettled(motion.Table())) {
                        settledAt = step;
                        atSettling = Counts(motion.Table());
                    }
                }
                ++trials;
                stepsToRest += step;
                stepsToSettle += settledAt < 0 ? step : settledAt + 1;
                if (settledAt >= 0) {
                    ASSERT_EQ(atSettling, Counts(motion.Table()))
                        << "settled at step " << settledAt;
                    stoppedEarly += settledAt + 1 < step;
                }
            }
        }
    }
    std::printf("%d trials, %d stopped early, %d with pass-limit steps; %d of %d steps run\n",
                trials, stoppedEarly, passLimitTrials, stepsToSettle, stepsToRest);
    EXPECT_EQ(trials, 2000);
    EXPECT_GT(passLimitTrials, 5);
    EXPECT_GT(stoppedEarly, trials / 2);
    EXPECT_LT(stepsToSettle, stepsToRest * 9 / 10);
}
