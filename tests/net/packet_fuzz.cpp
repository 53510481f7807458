#include "tests/net/packet_fuzz.h"

#include "framework/screen.h"
#include "game/random.h"
#include "net/network_session.h"
#include "screens/screen_congr.h"
#include "screens/screen_main.h"
#include "screens/screen_playn.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

// Ticks after a record, by the control byte's two low bits: mostly packets come faster than
// the table can play them, and now and then a pause lets the waiting flicks drain.
constexpr std::array<int, 4> kTicksAfter{0, 1, 3, 20};

bool IsOnBoard(double v) {
    return v >= 0 && v <= 1;
}

// A double in full, short when it is huge.
std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string Hex(std::span<const std::uint8_t> bytes) {
    std::string text;
    char digits[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

}  // namespace

std::span<const std::uint8_t> ByteStream::Bytes(std::size_t count) {
    std::size_t taken = std::min(count, bytes_.size() - std::min(at_, bytes_.size()));
    std::span<const std::uint8_t> part = bytes_.subspan(std::min(at_, bytes_.size()), taken);
    at_ += taken;
    return part;
}

PacketFuzzer::PacketFuzzer() {
    SetClock(&clock_);
    SetEffectSounds(&charge_, &fall_);
    SetMessageBox(&box_);
    CloseNetworkSession();  // forgets the "Network: msg" boxes of earlier runs
    BeginGame(nextSeed_++);
}

PacketFuzzer::~PacketFuzzer() {
    SetMessageBox(nullptr);
    SetEffectSounds(nullptr, nullptr);
    SetClock(nullptr);
    CurrentScreen = &ScreenMain;
    ScreenCongr.ReturnScreen = nullptr;
}

void PacketFuzzer::BeginGame(std::uint32_t seed) {
    // The camera too, so that the same records and seed always give the same swings.
    InitBoardAndCamera(Board, Camera);
    SetRandState(seed);
    ScreenPlayN.BeginSession(kWhite);
    SwitchScreen(&ScreenPlayN);
    wasPending_ = 0;
    restTicks_ = -1;
    ++counts_.games;
}

std::string PacketFuzzer::Run(ByteStream& stream) {
    stream_ = &stream;
    while (!stream.AtEnd() && problem_.empty())
        PlayRecord(stream, false);
    stream_ = nullptr;
    return problem_;
}

void PacketFuzzer::PlayRecord(ByteStream& stream, bool insideBox) {
    std::uint8_t control = stream.Byte();
    std::span<const std::uint8_t> packet = stream.Bytes(stream.Byte() % (kFuzzMaxPacket + 1));
    ++counts_.records;
    if (!insideBox) ReturnToPlay();
    // The pump runs only in the play screen's own tick.
    if (CurrentScreen == &ScreenPlayN) Feed(packet, control);
    for (int tick = 0; tick < kTicksAfter[control & 3] && problem_.empty(); ++tick)
        Tick(!insideBox);
}

void PacketFuzzer::Feed(std::span<const std::uint8_t> packet, std::uint8_t control) {
    Expectation expectation = Expect(packet);
    expectation.boxTicks = (control >> 2) & 3;
    expectation.nested = (control & 0x10) != 0;
    bool capped = openBoxes_ >= kMaxOpenNetworkMessages;
    bool unknown = expectation.text.starts_with("Network: msg ");
    bool unknownDue =
        !lastUnknownBoxAt_ || clock_.now - *lastUnknownBoxAt_ >= kUnknownMessageBoxIntervalMs;
    if (unknown && (unknownBoxOpen_ || !unknownDue)) capped = true;
    feeding_.push_back(expectation);
    HandleNetworkPacket(packet, ScreenPlayN);
    Expectation done = feeding_.back();
    feeding_.pop_back();
    if (done.shown != (done.wantsBox && !capped)) {
        Fail("packet " + Hex(packet) + (done.shown ? " showed a box" : " showed no box") +
             (done.wantsBox ? ", expected \"" + done.text + "\"" : ", expected none") + " with " +
             std::to_string(openBoxes_) + " open");
    }
    Observe();
}

PacketFuzzer::Expectation PacketFuzzer::Expect(std::span<const std::uint8_t> packet) {
    Expectation expectation;
    if (packet.empty()) return expectation;
    switch (packet[0]) {
        case kIdFlickMessage:
        case kIdNewIncomingConnection:
            return expectation;
        case kIdConnectionRequestAccepted:
            expectation.text = "CONNECTION_REQUEST_ACCEPTED";
            break;
        case kIdConnectionAttemptFailed:
            expectation.text = "CONNECTION_ATTEMPT_FAILED";
            break;
        case kIdNoFreeIncomingConnections:
        case kIdDisconnectionNotification:
        case kIdConnectionLost:
            expectation.text = "CONNECTION_LOST";
            break;
        default:
            expectation.text = "Network: msg " + std::to_string(packet[0]);
    }
    expectation.wantsBox = true;
    return expectation;
}

// The box is modal, but the timer keeps ticking behind it, and each tick may pump another
// packet, which may open a box over this one.
void PacketFuzzer::OnBoxShown(std::string_view text) {
    ++counts_.boxes;
    if (feeding_.empty()) return Fail("a box no packet asked for: " + std::string(text));
    Expectation& expectation = feeding_.back();
    if (!expectation.wantsBox || expectation.shown || text != expectation.text) {
        Fail("box \"" + std::string(text) + "\" where \"" + expectation.text + "\" was due");
    }
    expectation.shown = true;
    // Copied: a nested packet grows feeding_.
    int boxTicks = expectation.boxTicks;
    bool nested = expectation.nested;
    bool unknown = text.starts_with("Network: msg ");
    if (unknown) {
        unknownBoxOpen_ = true;
        lastUnknownBoxAt_ = clock_.now;
    }
    if (++openBoxes_ > kMaxOpenNetworkMessages) Fail("more boxes open than the cap");
    for (int tick = 0; tick < boxTicks && problem_.empty(); ++tick)
        Tick(false);
    if (nested && problem_.empty() && stream_ != nullptr && !stream_->AtEnd()) {
        ++counts_.nestedRecords;
        PlayRecord(*stream_, true);
    }
    if (unknown) unknownBoxOpen_ = false;
    --openBoxes_;
}

// The player dismisses a result screen at once and, once a GAME is over, starts another.
void PacketFuzzer::ReturnToPlay() {
    if (CurrentScreen == &ScreenCongr) ScreenCongr.OnBack();
    if (CurrentScreen == &ScreenMain) BeginGame(nextSeed_++);
    if (CurrentScreen != &ScreenPlayN) Fail("stuck outside the play screen");
}

void PacketFuzzer::Tick(bool playerFree) {
    if (playerFree) ReturnToPlay();
    clock_.now += 50;
    ++counts_.ticks;
    CScreen* before = CurrentScreen;
    CurrentScreen->OnTimer();
    if (before == &ScreenPlayN && CurrentScreen == &ScreenCongr) {
        ++counts_.battlesJudged;
        // The GAME's end closed the session, and the next may show a "Network: msg" box at once.
        if (ScreenCongr.ReturnScreen == nullptr) lastUnknownBoxAt_.reset();
    }
    Observe();
    if (restTicks_ < 0) return;
    if (!ScreenPlayN.moving) {
        restTicks_ = -1;
    } else if (++restTicks_ > kFuzzRestBoundTicks) {
        Fail("a played flick still moves after " + std::to_string(restTicks_) + " ticks");
    }
}

void PacketFuzzer::Observe() {
    CheckTable();
    std::uint8_t pending = ScreenPlayN.pending;
    if (!wasPending_ && pending) ObserveTaken();
    bool played = wasPending_ && !pending && charge_.plays == playedSeen_ + 1;
    if (played) ObservePlayed();
    if (charge_.plays != playedSeen_) Fail("the flick sound played with no flick played");
    wasPending_ = pending;
}

void PacketFuzzer::ObserveTaken() {
    ++counts_.flicksTaken;
    // The countdown is the camera swing's length, 2 to kMaxSwingTicks, and 8 ticks more.
    if (ScreenPlayN.countdown < kReceivedFlickDelayTicks + 2 ||
        ScreenPlayN.countdown > kMaxReceivedFlickWaitTicks) {
        Fail("a taken flick counts down from " + std::to_string(ScreenPlayN.countdown) + " (aim " +
             Number(ScreenPlayN.pendingAim) + ")");
    }
}

void PacketFuzzer::ObservePlayed() {
    ++counts_.flicksPlayed;
    ++playedSeen_;
    restTicks_ = 0;
}

void PacketFuzzer::CheckTable() {
    const CScreenPlayN& screen = ScreenPlayN;
    int selected = 0;
    for (int k = 0; k < kPieceCount; ++k) {
        const Piece& piece = Board[k];
        std::string name = "piece " + std::to_string(k);
        if (piece.side != (k < kArmySize ? kRed : kWhite)) Fail(name + " changed army");
        if (piece.alive > 1 || piece.selected > 1) Fail(name + " has a flag other than 0 or 1");
        if (!std::isfinite(piece.aim)) Fail(name + " aims nowhere");
        bool sound = std::isfinite(piece.vx) && std::isfinite(piece.vy) && IsOnBoard(piece.x) &&
                     IsOnBoard(piece.y);
        if (piece.alive && !sound) Fail(name + " is alive off the board or not finite");
        if (piece.selected && !(screen.pending && k == screen.match.lastFlickedPiece)) {
            Fail(name + " is shown chosen with no received flick of it waiting");
        }
        selected += piece.selected;
    }
    if (screen.pending && selected != 1) Fail("a waiting flick's piece is not shown chosen");
    if (!std::isfinite(Camera.azimuth) || !(Camera.elevation >= 0 && Camera.elevation <= 90)) {
        Fail("camera at azimuth " + Number(Camera.azimuth) + ", elevation " +
             Number(Camera.elevation));
    }
    if (screen.pending > 1 || screen.moving > 1) Fail("pending or moving is neither 0 nor 1");
    if (screen.pending && screen.countdown < 1) {
        Fail("a waiting flick is overdue: countdown " + std::to_string(screen.countdown) +
             ", aim " + Number(screen.pendingAim));
    }
    if (screen.swingLength < 0) Fail("negative camera swing");
    if (screen.WaitingFlicks().size() > kMaxWaitingFlicks) Fail("too many flicks waiting");
}

void PacketFuzzer::Fail(const std::string& what) {
    if (problem_.empty()) problem_ = "record " + std::to_string(counts_.records) + ": " + what;
}
