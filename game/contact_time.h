#pragma once

#include "motion_table.h"

#include <cstdint>

/// The contact time of a pair of pieces, the formula of the physics that most of its time goes
/// into: written once for one pair, and once for several pairs at a time with the same bits.

/// Seconds until pieces a and b touch, moving as they do now: negative when they already
/// overlap. NaN when they are not closing in (w . d <= 0, w the velocity of a relative to b
/// and d the offset from a to b), when they pass clear, or when they only appear to overlap
/// along their path (farther apart than the contact distance). A NaN is never a first contact.
double ContactTime(const Body& a, const Body& b);

/// ContactTime of the pairs (first[n], second[n]) of `table` for n < count, into time[n].
/// The index arrays and `time` must have room for an even number of pairs: when `count` is
/// odd, the pair after the last is read (any valid indices) and its time written.
void ContactTimes(const MotionTable& table, const std::uint8_t* first, const std::uint8_t* second,
                  int count, double* time);
