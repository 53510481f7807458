#pragma once

#include "motion_table.h"

#include <array>
#include <cstdint>

/// The first contact of a collision pass: pieces i < j, or i = -1 when no pair touches within
/// the time left, and then `time` is that whole time.
struct Contact {
    int i = -1;
    int j = -1;
    double time = 0;  ///< seconds from now; negative when the pair already overlaps
};

/// Finds the first contact of each collision pass exactly as a scan of all 120 pairs in index
/// order would, pair, time bits and ties alike, but computes the contact time of few pairs.
///
/// It keeps a list of the pairs near enough to touch within a budget of motion, noted from the
/// positions and speeds of the moment, and tests only those until the budget is spent: more time
/// moved (forward or back) than was allowed for, a velocity changed by a strike more than was
/// allowed for, a resting piece struck, or a piece fallen off. The pieces may be moved, struck
/// and slowed by friction between the calls; it is told of each move and strike.
class ContactFinder {
public:
    /// The first contact within `remaining` seconds, or none (i = -1, time = remaining).
    Contact FindFirst(const MotionTable& table, double remaining);

    /// Accounts for every alive piece having moved by `time` seconds (negative: moved back).
    void Moved(double time) { moved_ += time < 0 ? -time : time; }

    /// Accounts for a strike between pieces i and j that exchanged `impulse`.
    void Struck(int i, int j, double impulse);

    /// Forgets the list; the next search notes a new one (after a piece fell off).
    void Forget() { isNoted_ = false; }

private:
    void Note(const MotionTable& table, double remaining);

    static constexpr int kPairCount = kPieceCount * (kPieceCount - 1) / 2;

    // Near pairs in index order, with room for one more (ContactTimes works two at a time).
    std::array<std::uint8_t, kPairCount + 1> nearI_{};
    std::array<std::uint8_t, kPairCount + 1> nearJ_{};
    std::array<double, kPairCount + 1> times_{};  ///< of the near pairs at this pass
    int nearCount_ = 0;
    bool isNoted_ = false;
    double timeBudget_ = 0;  ///< seconds of motion plus time left that the list covers
    double moved_ = 0;       ///< seconds moved since the list was noted, back or forth
    std::array<double, kPieceCount> velocityBudget_{};  ///< |dvx| + |dvy| each piece may take
    std::array<double, kPieceCount> velocityChange_{};  ///< what strikes gave it so far
};
