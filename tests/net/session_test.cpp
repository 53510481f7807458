// The wire format of a flick and what the session does with each packet it receives.

#include "net/network_session.h"
#include "screens/network_game.h"
#include "tests/fakes/framework_fakes.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

struct RecordingReceiver final : FlickReceiver {
    void HandleFlickMessage(const FlickMessage& message) override { flicks.push_back(message); }
    std::vector<FlickMessage> flicks;
};

std::vector<std::uint8_t> Bytes(const FlickMessage& message) {
    auto bytes = EncodeFlickMessage(message);
    return {bytes.begin(), bytes.end()};
}

class SessionTest : public testing::Test {
protected:
    void SetUp() override {
        SetMessageBox(&box);
        SetClock(&clock);
    }
    void TearDown() override {
        CloseNetworkSession();  // forgets the boxes shown
        SetClock(nullptr);
        SetMessageBox(nullptr);
    }

    RecordingMessageBox box;
    RecordingReceiver receiver;
    ManualClock clock;
};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

// Every field sits at its offset, little-endian, whatever the host's own layout.
TEST(FlickMessage, IsTwentyFourLittleEndianBytes) {
    auto bytes = EncodeFlickMessage({9, 30.0, 2.0});
    std::vector<std::uint8_t> expected{0x52, 0, 0, 0, 9, 0, 0, 0};
    for (double value : {30.0, 2.0}) {
        auto bits = std::bit_cast<std::uint64_t>(value);
        for (int i = 0; i < 8; ++i)
            expected.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), expected);
}

// What is decoded is bit for bit what was encoded, negative zero and the last bits included.
TEST(FlickMessage, DecodesWhatWasEncoded) {
    for (FlickMessage sent :
         {FlickMessage{0, -0.0, 0.0}, FlickMessage{15, -359.99999999999994, 1146.7},
          FlickMessage{7, std::nextafter(30.0, 31.0), 1e-300}}) {
        auto got = DecodeFlickMessage(Bytes(sent));
        ASSERT_TRUE(got);
        EXPECT_EQ(got->piece, sent.piece);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(got->aim), std::bit_cast<std::uint64_t>(sent.aim));
        EXPECT_EQ(std::bit_cast<std::uint64_t>(got->power),
                  std::bit_cast<std::uint64_t>(sent.power));
    }
}

// A message that cannot be played is refused: it would reach outside the sixteen pieces, read
// beyond the packet, or set a piece moving for ever.
TEST(FlickMessage, RefusesWhatCannotBePlayed) {
    struct Case {
        const char* what;
        FlickMessage message;
    };
    for (const Case& c :
         std::vector<Case>{{"piece -1", {-1, 0, 1}},
                           {"piece 16", {16, 0, 1}},
                           {"lowest piece index", {std::numeric_limits<std::int32_t>::min(), 0, 1}},
                           {"NaN aim", {3, kNaN, 1}},
                           {"infinite aim", {3, -kInf, 1}},
                           {"NaN power", {3, 0, kNaN}},
                           {"infinite power", {3, 0, kInf}},
                           {"huge power", {3, 0, 1e7}},
                                           {"huge aim", {3, -6.5e14, 1}}}) {
        EXPECT_FALSE(DecodeFlickMessage(Bytes(c.message))) << c.what;
    }
    std::vector<std::uint8_t> shortMessage = Bytes({3, 0, 1});
    shortMessage.pop_back();
    EXPECT_FALSE(DecodeFlickMessage(shortMessage)) << "23 bytes";
    std::vector<std::uint8_t> otherId = Bytes({3, 0, 1});
    otherId[0] = 81;
    EXPECT_FALSE(DecodeFlickMessage(otherId)) << "identifier 81";
    std::vector<std::uint8_t> longer = Bytes({3, 0, 1});
    longer.push_back(0xFF);
    EXPECT_TRUE(DecodeFlickMessage(longer)) << "a 25th byte is not read";
}

// Connection events become the game's message boxes; the host is told nothing of a new client;
// anything unknown shows its number.
TEST_F(SessionTest, ShowsEachConnectionEventAsTheGameSaysIt) {
    struct Case {
        std::uint8_t id;
        const char* text;  // null: no box
    };
    for (const Case& c : std::vector<Case>{{14, "CONNECTION_REQUEST_ACCEPTED"},
                                           {15, "CONNECTION_ATTEMPT_FAILED"},
                                           {16, "Network: msg 16"},
                                           {17, nullptr},
                                           {18, "CONNECTION_LOST"},
                                           {19, "CONNECTION_LOST"},
                                           {20, "CONNECTION_LOST"},
                                           {0, "Network: msg 0"},
                                           {255, "Network: msg 255"}}) {
        box.texts.clear();
        clock.now += kUnknownMessageBoxIntervalMs;
        std::vector<std::uint8_t> packet{c.id, 1, 2};
        HandleNetworkPacket(packet, receiver);
        std::vector<std::string> expected;
        if (c.text != nullptr) expected.emplace_back(c.text);
        EXPECT_EQ(box.texts, expected) << int(c.id);
    }
    EXPECT_TRUE(receiver.flicks.empty());
}

// A playable flick goes to the screen; a malformed one and an empty packet change nothing.
TEST_F(SessionTest, HandsOnlyPlayableFlicksToTheScreen) {
    HandleNetworkPacket(std::vector<std::uint8_t>{}, receiver);
    HandleNetworkPacket(Bytes({16, 10, 1}), receiver);
    HandleNetworkPacket(std::vector<std::uint8_t>{82, 0, 0}, receiver);
    HandleNetworkPacket(Bytes({12, 10, 1.5}), receiver);
    ASSERT_EQ(receiver.flicks.size(), 1u);
    EXPECT_EQ(receiver.flicks[0].piece, 12);
    EXPECT_TRUE(box.texts.empty());
}

// Each box runs the timer inside it, and every tick may take another unknown message: a flood
// opens one box at a time and one per interval, and the flood's flicks still get through.
TEST_F(SessionTest, AFloodOfUnknownMessagesOpensOneBoxPerInterval) {
    struct NestingBox final : CMessageBox {
        int open = 0, deepest = 0, shown = 0, ticks = 0;
        FlickReceiver* receiver = nullptr;
        void Show(std::string_view) override {
            ++shown;
            deepest = std::max(deepest, ++open);
            // Ticks inside the box keep pumping: half the flood is unknown, half flicks.
            for (int tick = 0; tick < 40; ++tick, ++ticks) {
                std::vector<std::uint8_t> unknown{99};
                HandleNetworkPacket(unknown, *receiver);
                auto flick = EncodeFlickMessage({1, 0, 1});
                HandleNetworkPacket(flick, *receiver);
            }
            --open;
        }
    } nesting;
    nesting.receiver = &receiver;
    SetMessageBox(&nesting);
    std::vector<std::uint8_t> unknown{99};
    HandleNetworkPacket(unknown, receiver);
    clock.now += kUnknownMessageBoxIntervalMs - 1;
    HandleNetworkPacket(unknown, receiver);
    EXPECT_EQ(nesting.shown, 1);
    clock.now += 1;
    HandleNetworkPacket(unknown, receiver);
    EXPECT_EQ(nesting.shown, 2);
    EXPECT_EQ(nesting.deepest, 1);
    EXPECT_EQ(receiver.flicks.size(), static_cast<std::size_t>(nesting.ticks));
}

// Without a session, pumping and sending do nothing.
TEST_F(SessionTest, DoesNothingWithoutASession) {
    ASSERT_EQ(NetPeer, nullptr);
    PumpNetwork(receiver);
    SendFlickMessage({1, 0, 1});
    CloseNetworkSession();
    EXPECT_TRUE(box.texts.empty());
    EXPECT_TRUE(receiver.flicks.empty());
}

// The dialog's UTF-16 text reaches the session as one byte per unit, its low 8 bits, at most
// 99 of them and a zero byte.
TEST(AddressBuffer, KeepsTheLowEightBitsOfAtMost99Units) {
    EXPECT_STREQ(ToAddressBuffer(u"127.0.0.1").data(), "127.0.0.1");
    EXPECT_STREQ(ToAddressBuffer(u"").data(), "");
    AddressBuffer cut = ToAddressBuffer(u"\u03A9\u4F8B.a");  // Ω 0x03A9, 例 0x4F8B
    EXPECT_EQ(std::string(cut.data()), std::string("\xA9\x8B.a"));
    std::u16string longText(150, u'x');
    AddressBuffer longest = ToAddressBuffer(longText);
    EXPECT_EQ(std::string(longest.data()), std::string(99, 'x'));
    EXPECT_EQ(longest[99], '\0');
}
