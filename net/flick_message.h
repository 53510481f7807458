#pragma once

// The game's one message on the wire: a flick, sent by the machine whose player made it and
// replayed by the other. 24 bytes, little-endian, written and read field by field so that the
// layout never depends on the compiler or the CPU:
//
//   offset 0   1 byte   identifier 82
//   offset 1   3 bytes  padding, zero when sent, never read
//   offset 4   4 bytes  piece index, signed, 0 to 15 (0-7 Red, 8-15 White)
//   offset 8   8 bytes  aim of the piece, IEEE 754 double, degrees
//   offset 16  8 bytes  power: the speed given to the piece, IEEE 754 double, board units/s

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

/// Size of a flick message on the wire, bytes.
inline constexpr std::size_t kFlickMessageSize = 24;
/// The largest aim a flick message may carry, degrees either way. A player's aims stay within a
/// few turns; a larger one could only come from a faulty peer.
inline constexpr double kMaxFlickAim = 1e6;
/// The largest power a flick message may carry, board units per second. A player's hardest
/// flick is near a thousand; anything far beyond it could only come from a faulty peer and
/// would overflow the physics' squared distances.
inline constexpr double kMaxFlickPower = 1e6;

/// One flick as it travels.
struct FlickMessage {
    std::int32_t piece = 0;  ///< index in the piece table
    double aim = 0;          ///< degrees
    double power = 0;        ///< speed given to the piece, board units per second
};

/// The 24 bytes of `message`.
std::array<std::uint8_t, kFlickMessageSize> EncodeFlickMessage(const FlickMessage& message);

/// The flick in `data`, or nothing when it cannot be played: shorter than 24 bytes, another
/// identifier, a piece index outside 0 to 15, an aim that is not finite or beyond kMaxFlickAim,
/// or a power that is not finite or beyond kMaxFlickPower. Bytes after the 24th are not read.
std::optional<FlickMessage> DecodeFlickMessage(std::span<const std::uint8_t> data);
