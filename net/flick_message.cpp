#include "net/flick_message.h"

#include "game/board.h"
#include "net/reliable_udp_peer.h"

#include <bit>
#include <cmath>

namespace {

void PutLittleEndian(std::uint8_t* out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t GetLittleEndian(const std::uint8_t* in, int bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<std::uint64_t>(in[i]) << (8 * i);
    return value;
}

}  // namespace

std::array<std::uint8_t, kFlickMessageSize> EncodeFlickMessage(const FlickMessage& message) {
    std::array<std::uint8_t, kFlickMessageSize> bytes{};
    bytes[0] = kIdFlickMessage;
    PutLittleEndian(&bytes[4], static_cast<std::uint32_t>(message.piece), 4);
    PutLittleEndian(&bytes[8], std::bit_cast<std::uint64_t>(message.aim), 8);
    PutLittleEndian(&bytes[16], std::bit_cast<std::uint64_t>(message.power), 8);
    return bytes;
}

std::optional<FlickMessage> DecodeFlickMessage(std::span<const std::uint8_t> data) {
    if (data.size() < kFlickMessageSize || data[0] != kIdFlickMessage) return std::nullopt;
    FlickMessage message;
    message.piece =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(GetLittleEndian(&data[4], 4)));
    message.aim = std::bit_cast<double>(GetLittleEndian(&data[8], 8));
    message.power = std::bit_cast<double>(GetLittleEndian(&data[16], 8));
    if (!IsPieceIndex(message.piece)) return std::nullopt;
    if (!std::isfinite(message.aim) || !std::isfinite(message.power)) return std::nullopt;
    if (std::abs(message.aim) > kMaxFlickAim) return std::nullopt;
    if (std::abs(message.power) > kMaxFlickPower) return std::nullopt;
    return message;
}
