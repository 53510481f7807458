#pragma once

// Threads: one thread plays, as the game's user-interface thread does; nothing here is shared.
//
// Whatever a faulty or hostile machine sends, the network play screen must neither crash nor
// leave its table in a state the game cannot draw or finish. PacketFuzzer hands a stream of
// packets to HandleNetworkPacket with the real ScreenPlayN as receiver (no session, no window,
// no rendering thread: scenes are dropped), ticks the screen now and then, and checks after
// every step. The stream is a list of records, so that a coverage-guided fuzzer and a seeded
// generator drive the same code:
//
//   byte 0    control: bits 0-1 pick the ticks after the packet (0, 1, 3 or 20);
//             bits 2-3 the ticks the timer runs while a box opened by this packet stays open;
//             bit 4: the next record arrives while that box is open (a box's timer pumps);
//             bits 5-7 are not used
//   byte 1    packet length, taken modulo 41 (0 to 40 bytes)
//   then      the packet's bytes (a stream that ends early gives a shorter packet)

#include "framework/clock.h"
#include "framework/effect_sounds.h"
#include "framework/message_box.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

/// Bytes of a fuzzer's input read in order.
class ByteStream {
public:
    explicit ByteStream(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    /// True once every byte has been read.
    bool AtEnd() const { return at_ >= bytes_.size(); }
    /// The next byte; 0 past the end.
    std::uint8_t Byte() { return AtEnd() ? 0 : bytes_[at_++]; }
    /// Up to `count` next bytes, fewer where the stream ends.
    std::span<const std::uint8_t> Bytes(std::size_t count);

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

/// Longest packet a record carries, bytes.
inline constexpr std::size_t kFuzzMaxPacket = 40;
/// Ticks a played flick may take to come to rest. An ordinary flick rests within about 30; a
/// piece fast enough to need longer leaves the board at once.
inline constexpr long kFuzzRestBoundTicks = 400;

/// What a run went through, to show that the fuzzing reached the screen's paths.
struct FuzzCounts {
    long records = 0;
    long boxes = 0;
    long nestedRecords = 0;
    long flicksTaken = 0;
    long flicksPlayed = 0;
    long ticks = 0;
    long battlesJudged = 0;
    long games = 0;
};

/// Drives ScreenPlayN with records (see the top of this file) and checks it. Installs its own
/// clock, sound players and message box and makes ScreenPlayN current; the destructor
/// uninstalls them. Board, Camera, Flag, the generator and the screens are program-wide: the
/// caller saves and restores them if it cares.
class PacketFuzzer {
public:
    PacketFuzzer();
    ~PacketFuzzer();
    PacketFuzzer(const PacketFuzzer&) = delete;
    PacketFuzzer& operator=(const PacketFuzzer&) = delete;

    /// Starts a new GAME on ScreenPlayN with White as this machine's army, the board and camera
    /// as at program start and the game's generator at `seed`, and makes the screen current.
    void BeginGame(std::uint32_t seed);
    /// Plays every record of `stream`; the first broken rule found, or empty. Stops at it.
    std::string Run(ByteStream& stream);
    /// Counts since construction.
    const FuzzCounts& Counts() const { return counts_; }

private:
    // What a packet must show: a box with a given text, or none.
    struct Expectation {
        bool wantsBox = false;
        std::string text;
        int boxTicks = 0;
        bool nested = false;
        bool shown = false;
    };

    class Clock final : public CClock {
    public:
        std::int64_t Milliseconds() override { return now; }
        std::int64_t now = 1000;
    };
    class Sound final : public CEffectSound {
    public:
        void SetVolume(std::uint32_t) override {}
        void Play() override { ++plays; }
        void Stop() override {}
        long plays = 0;
    };
    class Box final : public CMessageBox {
    public:
        explicit Box(PacketFuzzer& owner) : owner_(owner) {}
        void Show(std::string_view text) override { owner_.OnBoxShown(text); }

    private:
        PacketFuzzer& owner_;
    };

    void PlayRecord(ByteStream& stream, bool insideBox);
    void Feed(std::span<const std::uint8_t> packet, std::uint8_t control);
    void OnBoxShown(std::string_view text);
    /// One 50 ms tick; `playerFree` false while a box is open, when the player can do nothing.
    void Tick(bool playerFree);
    void ReturnToPlay();
    void Observe();
    void ObserveTaken();
    void ObservePlayed();
    void CheckTable();
    void Fail(const std::string& what);
    static Expectation Expect(std::span<const std::uint8_t> packet);

    Clock clock_;
    Sound charge_;
    Sound fall_;
    Box box_{*this};
    ByteStream* stream_ = nullptr;
    std::vector<Expectation> feeding_;  // innermost packet last
    int openBoxes_ = 0;
    bool unknownBoxOpen_ = false;
    std::optional<std::int64_t> lastUnknownBoxAt_;
    std::uint8_t wasPending_ = 0;
    long playedSeen_ = 0;
    long restTicks_ = 0;  // ticks the last played flick has been moving
    std::uint32_t nextSeed_ = 1;
    std::string problem_;
    FuzzCounts counts_;
};
