#include "game/motion.h"

#include "game/contact_time.h"
#include "game/lanes.h"
#include "tests/game/literal_physics.h"
#include "tests/setups/board_setups.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

/// Positions of every kind the game meets: the set-ups and positions of ordinary play.
std::vector<PieceTable> Positions() {
    std::vector<PieceTable> positions = {OpeningTable(), CrowdedTable(), LateGameTable()};
    for (std::uint32_t seed = 1; seed <= 9; ++seed)
        positions.push_back(AfterRandomFlicks(seed, 1 + static_cast<int>(seed % 4)));
    return positions;
}

/// Steps `motion` and the literal algorithm side by side to rest, comparing every bit after
/// every step. Returns the steps that ran out of collision passes.
int ExpectSameStepsAsLiteral(PieceTable literal, const char* what) {
    Motion motion(LoadMotion(literal));
    int passLimitSteps = 0;
    std::int32_t falls = 0;
    std::int32_t literalFalls = 0;
    for (int step = 0; step < 5000; ++step) {
        bool hitLimit = false;
        bool moved = LiteralStepPhysics(literal, literalFalls, hitLimit);
        EXPECT_EQ(motion.Step(falls), moved) << what << ", step " << step;
        passLimitSteps += hitLimit;
        PieceTable stepped = literal;
        StoreMotion(motion.Table(), stepped);
        EXPECT_EQ(std::memcmp(&stepped, &literal, sizeof stepped), 0) << what << ", step " << step;
        EXPECT_EQ(falls, literalFalls);
        if (!moved || ::testing::Test::HasFailure()) break;
    }
    return passLimitSteps;
}

}  // namespace

// A trial keeps one Motion, and with it the near pairs, for all its steps: every step must still
// be the literal one, bit for bit, through the steps that exhaust the 1000 passes too.
TEST(Motion, KeptAcrossStepsMatchesTheLiteralAlgorithm) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> aim(-180, 180);
    std::uniform_real_distribution<double> speed(0.3, 9.9);
    int passLimitSteps = 0;
    for (const PieceTable& position : Positions()) {
        for (int flick = 0; flick < 12 && !HasFailure(); ++flick) {
            PieceTable table = position;
            int piece = static_cast<int>(random() % 16);
            while (!table[piece].alive)
                piece = (piece + 1) % 16;
            Launch(table, piece, aim(random), speed(random));
            passLimitSteps += ExpectSameStepsAsLiteral(table, "random flick");
        }
    }
    EXPECT_GT(passLimitSteps, 0) << "no flick exercised the pass limit";
}

// A move adds 0 x time to a piece at rest, which the motion skips: it must not skip a piece
// whose bits that addition changes (a -0 coordinate, a NaN), nor move a dead piece that keeps
// a velocity.
TEST(Motion, PiecesAtRestAndDeadPiecesKeepTheLiteralBits) {
    PieceTable table = EmptyTable();
    Put(table, 0, 0.5, 0.3);
    Put(table, 8, -0.0, 0.5);  // on the edge, at rest
    Put(table, 9, 0.3, -0.0);
    Put(table, 10, 0.7, 0.6);
    table[10].alive = 0;  // fallen off earlier, still carrying its velocity
    table[10].vx = 0.25;
    Put(table, 11, 0.5, 0.6);
    Launch(table, 0, 0, 2);
    ExpectSameStepsAsLiteral(table, "edge and dead pieces");
    // A NaN coordinate of a piece at rest stays the same NaN under every move.
    table[9].y = kNaN;
    ExpectSameStepsAsLiteral(table, "NaN piece at rest");
}

// The contact time of pairs computed two at a time has the bits of the one-pair formula: on
// random tables, and on the pairs where the formula turns (passing clear, grazing, overlapping,
// coincident, not closing in, NaN and infinite velocities).
TEST(Motion, PairedContactTimesHaveTheBitsOfOnePair) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> place(0, 1);
    std::uniform_real_distribution<double> velocity(-3, 3);
    std::vector<MotionTable> tables;
    for (int n = 0; n < 200; ++n) {
        MotionTable t;
        for (Body& b : t.body) {
            // A crowded little board, so that many pairs touch or overlap.
            b = {0.4 + 0.25 * place(random), 0.4 + 0.25 * place(random), velocity(random),
                 n % 3 ? velocity(random) : 0.0};
        }
        tables.push_back(t);
    }
    MotionTable edge;
    const double graze = std::sqrt(kContactDistanceSquared - 1e-18);
    const Body special[] = {{0.5, 0.5, 1, 0},      {0.5, 0.5, 0, 0},           // coincident
                            {0.5, 0.59, -1, 0},    {0.5 + graze, 0.6, 0, -1},  // overlap, graze
                            {0.5, 0.7, kNaN, 0},   {0.5, 0.4, 0, kInf},        // NaN, infinite
                            {0.2, 0.5, -1, 0},     {0.2 + 0.098, 0.5, -1, 0},  // not closing
                            {0.1, 0.1, 1e-300, 0}, {0.1, 0.1 + 0.09, 0, 0}};   // tiny closing
    std::copy(std::begin(special), std::end(special), edge.body.begin());
    tables.push_back(edge);
    std::vector<std::uint8_t> first;
    std::vector<std::uint8_t> second;
    for (int i = 0; i < kPieceCount; ++i) {
        for (int j = i + 1; j < kPieceCount; ++j) {
            first.push_back(static_cast<std::uint8_t>(i));
            second.push_back(static_cast<std::uint8_t>(j));
        }
    }
    first.push_back(0);  // room for the pair after the last
    second.push_back(1);
    int count = static_cast<int>(first.size()) - 1;
    for (const MotionTable& t : tables) {
        std::vector<double> times(first.size());
        ContactTimes(t, first.data(), second.data(), count, times.data());
        for (int n = 0; n < count; ++n) {
            double one = ContactTime(t.body[first[n]], t.body[second[n]]);
            ASSERT_TRUE(SameBits(times[n], one) || (std::isnan(times[n]) && std::isnan(one)))
                << "pair " << int(first[n]) << "-" << int(second[n]) << ": " << times[n]
                << " against " << one;
        }
    }
}

#if defined(__SSE2__)
// Every operation of the SSE2 lanes gives the bits of the plain C++ lanes, which other
// processors run, on ordinary numbers and on the ones where rounding and NaN rules bite.
TEST(Motion, SseLanesRoundAsPlainDoubles) {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> value(-4, 4);
    std::vector<double> inputs = {0.0, -0.0, kNaN, kInf, -kInf, 1e-310, 0.1, 1.0 / 3};
    for (int n = 0; n < 2000; ++n)
        inputs.push_back(value(random) * std::pow(10.0, static_cast<int>(random() % 9) - 4));
    auto bits = [](auto lanes) {
        double out[2];
        lanes.Store(out);
        return std::array<std::uint64_t, 2>{std::bit_cast<std::uint64_t>(out[0]),
                                            std::bit_cast<std::uint64_t>(out[1])};
    };
    auto same = [&bits](SseLanes s, ScalarLanes c) { return bits(s) == bits(c); };
    for (std::size_t n = 0; n + 3 < inputs.size(); ++n) {
        double a = inputs[n], b = inputs[n + 1], c = inputs[n + 2], d = inputs[n + 3];
        SseLanes s1(a, b), s2(c, d);
        ScalarLanes c1(a, b), c2(c, d);
        ASSERT_TRUE(same(s1 + s2, c1 + c2) && same(s1 - s2, c1 - c2));
        ASSERT_TRUE(same(s1 * s2, c1 * c2) && same(s1 / s2, c1 / c2));
        ASSERT_TRUE(same(Sqrt(s1), Sqrt(c1)) || std::isnan(a) || a < 0 || std::isnan(b) || b < 0);
        ASSERT_TRUE(same(Lows(s1, s2), Lows(c1, c2)) && same(Highs(s1, s2), Highs(c1, c2)));
        ASSERT_TRUE(SameBits(Sum(s1), Sum(c1)) || (std::isnan(a + b)));
        SseLanes yes(1.0), no(2.0);
        ScalarLanes cyes(1.0), cno(2.0);
        ASSERT_TRUE(same(Select(Greater(s1, s2) | Less(s1, s2), yes, no),
                         Select(Greater(c1, c2) | Less(c1, c2), cyes, cno)));
        ASSERT_TRUE(same(Select(NotGreater(s1, s2) & Less(s2, s1), yes, no),
                         Select(NotGreater(c1, c2) & Less(c2, c1), cyes, cno)));
    }
}
#endif
