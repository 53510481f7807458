// A few hundred thousand packets that a faulty or hostile machine might send, most of them
// flick messages or nearly so, with the doubles that break arithmetic: the network play screen
// must survive all of them with a sound table (see PacketFuzzer for what is checked).

#include "tests/net/packet_fuzz.h"

#include "game/board.h"
#include "game/flag.h"
#include "game/random.h"
#include "net/flick_message.h"
#include "net/reliable_udp_peer.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

namespace {

using Limits = std::numeric_limits<double>;
constexpr double kNaN = Limits::quiet_NaN();
constexpr double kInf = Limits::infinity();
constexpr double kMax = Limits::max();
constexpr double kTiny = Limits::denorm_min();
constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();

const double kNaNWithPayload = std::bit_cast<double>(0x7ff0000000000001ull);
const double kPastPowerLimit = std::nextafter(kMaxFlickPower, kInf);

// The doubles at the edges: NaNs of both signs and with payloads, infinities, the largest
// values, the power limit and just past it, aims whose swing overflows, denormals, both zeros,
// and right angles, whose sine or cosine comes out a hair from 0, so that a piece runs almost
// exactly along its row or column into pieces standing in line.
// clang-format off
const std::array<double, 30> kSpecialDoubles{
    kNaN, -kNaN, Limits::signaling_NaN(), kNaNWithPayload, kInf, -kInf, kMax, -kMax,
    1e300, -1e300, kMaxFlickPower, -kMaxFlickPower, kPastPowerLimit, 1e10, -3e10, 7.2e7,
    kTiny, -kTiny, Limits::min(), -0.0, 0.0, 1e-300, 1440, -1440,
    90, -90, 180, 270, 450, -270};
// clang-format on

const std::array<std::int32_t, 7> kOddPieces{-1, 16, 255, 256, 1 << 16, kMinInt, kMaxInt};

// Writes records (see packet_fuzz.h) from a seeded generator.
class RecordGenerator {
public:
    explicit RecordGenerator(std::uint64_t seed) : random_(seed) {}

    std::vector<std::uint8_t> Records(int count) {
        std::vector<std::uint8_t> bytes;
        for (int i = 0; i < count; ++i) {
            std::vector<std::uint8_t> packet = Packet();
            bytes.push_back(Control());
            bytes.push_back(static_cast<std::uint8_t>(packet.size()));
            bytes.insert(bytes.end(), packet.begin(), packet.end());
        }
        return bytes;
    }

private:
    int Percent() { return Below(100); }
    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    std::uint8_t AnyByte() { return static_cast<std::uint8_t>(Below(256)); }

    // Packets mostly come faster than the table plays them, so that flicks queue up; now and
    // then a pause lets the queue drain. Each tick waves the flag, which costs more than
    // anything a packet does, so ticks are few: about one for every eight packets.
    std::uint8_t Control() {
        int p = Below(1000);
        int after = p < 950 ? 0 : p < 985 ? 1 : p < 998 ? 2 : 3;
        int boxTicks = Percent() < 97 ? 0 : 1 + Below(3);
        int nested = Percent() < 15 ? 1 : 0;
        return static_cast<std::uint8_t>(after | boxTicks << 2 | nested << 4);
    }

    std::vector<std::uint8_t> Packet() {
        int p = Percent();
        if (p < 45) return NearFlick();
        if (p < 65) return Random(kIdFlickMessage);
        if (p < 85) return Random(AnyByte());
        // A connection event, or an identifier next to one.
        static constexpr std::array<std::uint8_t, 11> kEvents{0,  13, 14, 15, 16, 17,
                                                              18, 19, 20, 21, 255};
        std::vector<std::uint8_t> packet{kEvents[Below(kEvents.size())]};
        if (Percent() < 20) packet.resize(1 + Below(kFuzzMaxPacket), AnyByte());
        return packet;
    }

    std::vector<std::uint8_t> Random(std::uint8_t first) {
        std::vector<std::uint8_t> packet(Below(kFuzzMaxPacket + 1));
        for (std::uint8_t& byte : packet)
            byte = AnyByte();
        if (!packet.empty()) packet[0] = first;
        return packet;
    }

    // A flick message, often valid, with odd values, random padding, and now and then a bit
    // flipped or its length changed.
    std::vector<std::uint8_t> NearFlick() {
        std::int32_t piece = Percent() < 80 ? Below(kPieceCount) : kOddPieces[Below(7)];
        double aim =
            Percent() < 75 ? std::uniform_real_distribution<double>(-720, 720)(random_) : Special();
        double power =
            Percent() < 65 ? std::uniform_real_distribution<double>(-0.5, 4)(random_) : Special();
        auto encoded = EncodeFlickMessage({piece, aim, power});
        std::vector<std::uint8_t> packet(encoded.begin(), encoded.end());
        for (int i = 1; i < 4; ++i)
            packet[i] = AnyByte();
        int p = Percent();
        if (p < 10) packet[Below(24)] ^= static_cast<std::uint8_t>(1 << Below(8));
        if (p >= 10 && p < 20) packet.resize(Below(kFuzzMaxPacket + 1), AnyByte());
        if (packet.empty()) packet.push_back(kIdFlickMessage);
        return packet;
    }

    double Special() { return kSpecialDoubles[Below(kSpecialDoubles.size())]; }

    std::mt19937_64 random_;
};

class PacketFuzzTest : public testing::Test {
protected:
    void SetUp() override {
        savedBoard_ = Board;
        savedCamera_ = Camera;
        savedFlag_ = Flag;
        savedRand_ = RandState();
    }
    void TearDown() override {
        Board = savedBoard_;
        Camera = savedCamera_;
        Flag = savedFlag_;
        SetRandState(savedRand_);
    }

private:
    PieceTable savedBoard_;
    CameraAngles savedCamera_;
    FlagCloth savedFlag_;
    std::uint32_t savedRand_ = 1;
};

}  // namespace

// Every packet shows the box its identifier calls for, or none; boxes nest no deeper than the
// cap; no piece leaves the board alive or goes non-finite; every flag stays 0 or 1; a flick
// waits at least its swing and is then played, and the table rests soon after. The counts
// prove that the run reached those paths.
TEST_F(PacketFuzzTest, HostilePacketsLeaveThePlayScreenSound) {
    constexpr int kChunks = 200;
    constexpr int kRecordsPerChunk = 1000;
    PacketFuzzer fuzzer;
    RecordGenerator generator(20261208);
    for (int chunk = 0; chunk < kChunks; ++chunk) {
        std::vector<std::uint8_t> bytes = generator.Records(kRecordsPerChunk);
        ByteStream stream(bytes);
        std::string problem = fuzzer.Run(stream);
        ASSERT_EQ(problem, "") << "chunk " << chunk;
    }
    const FuzzCounts& counts = fuzzer.Counts();
    std::printf(
        "records %ld, boxes %ld, nested %ld, taken %ld, played %ld, ticks %ld, "
        "battles %ld, games %ld\n",
        counts.records, counts.boxes, counts.nestedRecords, counts.flicksTaken, counts.flicksPlayed,
        counts.ticks, counts.battlesJudged, counts.games);
    EXPECT_GE(counts.records, kChunks * kRecordsPerChunk);
    EXPECT_GT(counts.boxes, counts.records / 20);
    EXPECT_GT(counts.nestedRecords, 1000);
    EXPECT_GT(counts.flicksPlayed, 300);
    EXPECT_GT(counts.battlesJudged, 5);
}
