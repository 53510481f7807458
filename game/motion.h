#pragma once

#include "contact_finder.h"
#include "motion_table.h"

#include <array>
#include <cstdint>

/// A table in motion, stepped exactly as StepPhysics steps a PieceTable, bit for bit. Between
/// steps it keeps the contact finder's list of near pairs, which slow pieces can reuse for
/// several steps; so a caller that runs many steps (the opponent's trials) keeps one Motion.
class Motion {
public:
    explicit Motion(const MotionTable& table) : table_(table) { NoteMovers(); }

    /// One physics step of 0.005 s, as StepPhysics: false, changing nothing, when no alive
    /// piece moves; otherwise true, with 1 added to `fallCount` for every piece that fell off.
    bool Step(std::int32_t& fallCount);

    /// The table as the steps have left it.
    const MotionTable& Table() const { return table_; }

private:
    bool IsMoving() const;
    void ResolvePasses();
    void NoteMovers();
    void MoveAll(double time);
    double Strike(int i, int j);
    void ApplyEdgeAndFriction(std::int32_t& fallCount);

    MotionTable table_;
    ContactFinder finder_;
    // The alive pieces that a move of finite time can change: all but those at rest, whose
    // coordinates it adds 0 to (see NoteMovers).
    std::array<std::uint8_t, kPieceCount> movers_{};
    int moverCount_ = 0;
    unsigned moverMask_ = 0;
};
