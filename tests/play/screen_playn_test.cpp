// The network play screen on one machine: received flicks, the camera, the judgement's network
// differences, and the session's end. Flicks to other machines go over real sockets on
// 127.0.0.1 to peers of the test's own.

#include "screens/screen_playn.h"

#include "framework/network_dialog.h"
#include "game/physics.h"
#include "net/network_session.h"
#include "tests/net/free_port.h"
#include "tests/play/play_fixture.h"

#include <enet/enet.h>

#include <bit>

using namespace std::chrono_literals;

namespace {

class PlayNTest : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        SetGamePort(FreeUdpPort());
    }

    void TearDown() override {
        CloseNetworkSession();
        SetGamePort(kGamePort);
        PlayTest::TearDown();
    }

    /// A session of `army` with no other machine, the screen current and its swing over.
    void Begin(std::uint8_t army) {
        ScreenPlayN.BeginSession(army);
        Enter(ScreenPlayN);
    }

    /// A Red flick of the local player: piece `index` along `aim` at exactly `speed`.
    void FlickRed(int index, double aim, double speed) {
        ScreenPlayN.selectedPiece = index;
        Board[index].selected = 1;
        Board[index].aim = aim;
        FlickAtSpeed(ScreenPlayN, speed);
    }

    /// Ticks until a received flick has been played and everything rests again.
    void PlayReceivedToRest() {
        for (int tick = 0; tick < 400 && ScreenPlayN.pending; ++tick)
            Tick();
        TickToRest(ScreenPlayN);
    }
};

bool SameBits(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// A client peer of the test's own on the session's port, accepted before it returns.
std::unique_ptr<ReliableUdpPeer> ConnectedClient() {
    auto client = std::make_unique<ReliableUdpPeer>();
    client->Startup(1, 30, 0);
    client->Connect("127.0.0.1", GamePort());
    for (int i = 0; i < 500; ++i) {
        if (auto packet = client->Receive()) {
            EXPECT_EQ(packet->data[0], kIdConnectionRequestAccepted);
            return client;
        }
        std::this_thread::sleep_for(10ms);
    }
    ADD_FAILURE() << "not accepted";
    return client;
}

// The next packet `peer` receives within `wait`, or null.
std::unique_ptr<NetPacket> NextPacket(ReliableUdpPeer& peer, std::chrono::milliseconds wait) {
    auto deadline = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < deadline) {
        if (auto packet = peer.Receive()) return packet;
        std::this_thread::sleep_for(5ms);
    }
    return nullptr;
}

}  // namespace

// A flick received with aim 30 and power 2 shows its piece chosen and swings the camera along
// the shot; exactly swing length + 8 ticks later it starts with the sender's very velocity,
// and only then is the flick heard.
TEST_F(PlayNTest, PlaysAReceivedFlickSwingPlusEightTicksLater) {
    Begin(kWhite);
    ScreenPlayN.HandleFlickMessage({3, 30, 2});
    EXPECT_EQ(Board[3].selected, 1);
    EXPECT_DOUBLE_EQ(ScreenPlayN.swingTargetAzimuth, -30);
    int wait = ScreenPlayN.swingLength + kReceivedFlickDelayTicks;
    for (int tick = 1; tick < wait; ++tick)
        Tick();
    EXPECT_FALSE(ScreenPlayN.moving);
    EXPECT_EQ(charge.plays, 0);
    // What the sender's table does in its first tick after the same flick.
    PieceTable sender = Board;
    Velocity sent = FlickVelocity(30, 2);
    EXPECT_TRUE(SameBits(sent.vx, -(std::sin(std::numbers::pi / 6) * 2)));
    sender[3].vx = sent.vx;
    sender[3].vy = sent.vy;
    std::int32_t falls = 0;
    for (int step = 0; step < kStepsPerTick && StepPhysics(sender, falls); ++step) {
    }
    Tick();
    EXPECT_TRUE(ScreenPlayN.moving);
    EXPECT_EQ(charge.plays, 1);
    EXPECT_EQ(Board[3].selected, 0);
    for (int k = 0; k < kPieceCount; ++k) {
        EXPECT_TRUE(SameBits(Board[k].x, sender[k].x) && SameBits(Board[k].vy, sender[k].vy)) << k;
    }
}

// A flick that arrives while another waits or the pieces still move is not lost and does not
// start in the middle of that motion: it is taken once the table rests, and played in turn.
TEST_F(PlayNTest, AFlickArrivingDuringAnotherWaitsForTheTableToRest) {
    Begin(kWhite);
    ScreenPlayN.HandleFlickMessage({0, 0, 1.0});
    ScreenPlayN.HandleFlickMessage({1, 0, 1.0});
    EXPECT_EQ(ScreenPlayN.WaitingFlicks().size(), 1u);
    EXPECT_EQ(ScreenPlayN.match.lastFlickedPiece, 0);
    double startY1 = Board[1].y;
    PlayReceivedToRest();
    EXPECT_EQ(Board[1].y, startY1) << "the second flick must wait for the first move's rest";
    Tick();  // takes the waiting flick
    EXPECT_TRUE(ScreenPlayN.pending);
    EXPECT_EQ(ScreenPlayN.match.lastFlickedPiece, 1);
    PlayReceivedToRest();
    EXPECT_GT(Board[1].y, startY1);
    EXPECT_TRUE(ScreenPlayN.WaitingFlicks().empty());
}

// A waiting flick whose piece has fallen meanwhile is dropped, and the next is taken instead.
TEST_F(PlayNTest, AWaitingFlickOfAFallenPieceIsDropped) {
    Begin(kWhite);
    for (std::int32_t piece : {0, 1, 2})
        ScreenPlayN.HandleFlickMessage({piece, 0, 1.0});
    Board[1].alive = 0;
    PlayReceivedToRest();
    Tick();
    EXPECT_EQ(ScreenPlayN.match.lastFlickedPiece, 2);
    EXPECT_EQ(Board[1].selected, 0);
}

// Every battle turns the camera to this machine's army, whoever moves first, and leaves the
// side in control alone.
TEST_F(PlayNTest, StartsEachBattleLookingFromTheLocalArmy) {
    for (std::uint8_t army : {kRed, kWhite}) {
        ScreenPlayN.BeginSession(army);
        double own = army == kRed ? 0 : 180;
        EXPECT_NEAR(ScreenPlayN.swingTargetAzimuth, own, 4.0);
        ScreenPlayN.StartBattle(2, 1, Opponent(army));
        EXPECT_NEAR(ScreenPlayN.swingTargetAzimuth, own, 4.0);
        EXPECT_EQ(ScreenPlayN.sideInControl, army);
        EXPECT_EQ(ScreenPlayN.match.sideToMove, Opponent(army));
        EXPECT_EQ(ScreenPlayN.match.row[kRed], 2);
    }
}

// The camera stays when the turn passes away from this machine's army, and swings to the
// army's last view when the turn comes back to it.
TEST_F(PlayNTest, TurnsTheCameraOnlyWhenTheTurnComesHome) {
    Begin(kRed);
    FlickRed(0, 20, 0.3);  // a short slide that knocks nothing off
    TickToRest(ScreenPlayN);
    ASSERT_EQ(ScreenPlayN.match.sideToMove, kWhite);
    EXPECT_FALSE(ScreenPlayN.IsSwinging());
    EXPECT_EQ(ScreenPlayN.viewAzimuth[kRed], -20);
    ScreenPlayN.HandleFlickMessage({8, 180, 0.3});
    PlayReceivedToRest();
    ASSERT_EQ(ScreenPlayN.match.sideToMove, kRed);
    EXPECT_TRUE(ScreenPlayN.IsSwinging());
    EXPECT_EQ(ScreenPlayN.swingTargetAzimuth, -20);
    EXPECT_EQ(ScreenPlayN.sideInControl, kRed);
}

// Only the local army's pieces can be chosen, and only on its turn.
TEST_F(PlayNTest, TheOtherArmysTurnCannotBeTaken) {
    Begin(kWhite);
    graphics.SetPickResult(8);
    ScreenPlayN.OnLButtonDown(300, 200);
    ScreenPlayN.OnLButtonUp(300, 200);
    EXPECT_EQ(ScreenPlayN.selectedPiece, -1) << "Red is to move";
}

// A won GAME shows its result with no points, then leads to the main menu; the session is
// closed without a word to the other machine, which is still playing the same GAME, and the
// screen is reset for the next one.
TEST_F(PlayNTest, AWonGameClosesTheSessionAndLeadsToTheMenu) {
    StartNetworkSession(1, "");
    auto other = ConnectedClient();
    Begin(kRed);
    ScreenPlayN.match.row[kRed] = 6;
    ScreenPlayN.match.gameScore = {5, 9};
    ArrangeLastWhiteBeforeRed(ScreenPlayN);
    FlickRed(3, 0, 1.2);
    TickToRest(ScreenPlayN);
    ASSERT_EQ(CurrentScreen, &ScreenCongr);
    EXPECT_EQ(ScreenCongr.Result, kRedWonGame);
    EXPECT_EQ(ScreenCongr.Points, 0);
    EXPECT_EQ(ScreenCongr.ReturnScreen, nullptr);
    EXPECT_EQ(NetPeer, nullptr);
    EXPECT_EQ(ScreenPlayN.match.gameScore, (std::array<std::int32_t, 2>{0, 0}));
    EXPECT_EQ(ScreenPlayN.match.row[kRed], 0);
    ScreenCongr.OnBack();
    EXPECT_EQ(CurrentScreen, &ScreenMain);
    auto heard = NextPacket(*other, 300ms);
    EXPECT_TRUE(heard == nullptr || heard->data[0] == kIdFlickMessage);
    EXPECT_EQ(NextPacket(*other, 100ms), nullptr);
}

// A won battle returns to the game with no points shown.
TEST_F(PlayNTest, AWonBattleShowsNoPoints) {
    Begin(kRed);
    ArrangeLastWhiteBeforeRed(ScreenPlayN);
    FlickRed(3, 0, 1.2);
    TickToRest(ScreenPlayN);
    ASSERT_EQ(CurrentScreen, &ScreenCongr);
    EXPECT_EQ(ScreenCongr.Result, kRedWonBattle);
    EXPECT_EQ(ScreenCongr.Points, 0);
    EXPECT_EQ(ScreenCongr.ReturnScreen, &ScreenPlayN);
}

// The settings screen's way to the main menu ends the session, and the other machine hears
// it at once; its way back keeps it.
TEST_F(PlayNTest, LeavingForTheMenuThroughSettingsEndsTheSession) {
    StartNetworkSession(1, "");
    auto other = ConnectedClient();
    Begin(kRed);
    ScreenPlayN.OnBack();
    ASSERT_EQ(CurrentScreen, &ScreenSett);
    ScreenSett.OnBack();
    EXPECT_EQ(CurrentScreen, &ScreenPlayN);
    EXPECT_NE(NetPeer, nullptr);
    ScreenPlayN.OnBack();
    ScreenSett.OnLButtonDown(136, 320);  // "MAIN MENU", canvas (0.34, 0.2) in 600 x 400
    EXPECT_EQ(CurrentScreen, &ScreenMain);
    EXPECT_EQ(NetPeer, nullptr);
    auto heard = NextPacket(*other, 300ms);
    ASSERT_NE(heard, nullptr);
    EXPECT_EQ(heard->data[0], kIdDisconnectionNotification);
}

// A Red flick made before anyone connected reaches nobody; once two White machines are
// connected, each Red flick reaches both, as 24 bytes sent before the piece moved.
TEST_F(PlayNTest, RedFlicksReachEveryConnectedMachineAndNoneBefore) {
    StartNetworkSession(1, "");
    Begin(kRed);
    FlickRed(0, 0, 0.3);
    TickToRest(ScreenPlayN);
    auto first = ConnectedClient();
    auto second = ConnectedClient();
    EXPECT_EQ(NextPacket(*first, 300ms), nullptr) << "the early flick reached a later machine";
    ScreenPlayN.match.sideToMove = kRed;
    FlickRed(2, 10, 0.5);
    Velocity started{Board[2].vx, Board[2].vy};
    for (ReliableUdpPeer* client : {first.get(), second.get()}) {
        auto packet = NextPacket(*client, 2s);
        ASSERT_NE(packet, nullptr);
        auto flick = DecodeFlickMessage(packet->data);
        ASSERT_TRUE(flick);
        EXPECT_EQ(packet->data.size(), kFlickMessageSize);
        EXPECT_EQ(flick->piece, 2);
        EXPECT_EQ(flick->aim, 10);
        Velocity replayed = FlickVelocity(flick->aim, flick->power);
        EXPECT_TRUE(SameBits(replayed.vx, started.vx) && SameBits(replayed.vy, started.vy));
    }
}

// A White machine's flick goes to the host only: the other White machine hears nothing.
TEST_F(PlayNTest, AWhiteFlickReachesOnlyTheHost) {
    StartNetworkSession(1, "");
    auto first = ConnectedClient();
    auto second = ConnectedClient();
    auto flick = EncodeFlickMessage({9, 170, 0.4});
    first->Send(flick);
    Begin(kRed);
    for (int tick = 0; tick < 100 && !ScreenPlayN.pending; ++tick) {
        std::this_thread::sleep_for(5ms);
        Tick();
    }
    EXPECT_TRUE(ScreenPlayN.pending);
    EXPECT_EQ(ScreenPlayN.match.lastFlickedPiece, 9);
    EXPECT_EQ(NextPacket(*second, 300ms), nullptr);
}

namespace {

/// A machine on a loopback address of its own that speaks ENet directly, to send what the
/// game's peer never would; destroyed, it falls silent.
struct HostileMachine {
    HostileMachine(int lastByte, std::uint16_t port) {
        ENetAddress local{}, session{.host = 0, .port = port};
        enet_address_set_host_ip(&local, ("127.0.0." + std::to_string(lastByte)).c_str());
        enet_address_set_host_ip(&session, "127.0.0.1");
        host = enet_host_create(&local, 1, 2, 0, 0);
        peer = enet_host_connect(host, &session, 2, 0);
    }
    ~HostileMachine() { enet_host_destroy(host); }
    /// Sends what is due and takes what came, waiting up to `waitMs` for the first; true if
    /// anything came.
    bool Serve(enet_uint32 waitMs) {
        ENetEvent event;
        bool heard = false;
        for (; enet_host_service(host, &event, waitMs) > 0; waitMs = 0, heard = true) {
            if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
        }
        return heard;
    }
    ENetHost* host;
    ENetPeer* peer;
};

std::vector<std::uint8_t> FlickBytes(std::int32_t piece, double aim, std::size_t length = 24) {
    auto encoded = EncodeFlickMessage({piece, aim, 0.3});
    std::vector<std::uint8_t> bytes(encoded.begin(), encoded.end());
    bytes.resize(length);
    return bytes;
}

}  // namespace

// Whatever another machine sends, the Red host's game goes on: a flick along a huge aim waits no
// longer than the longest swing, one of the host's own army is ignored, a flood of unknown
// identifiers opens one box, an oversized packet is not taken, and a flood while the settings
// screen is current is cut at the queue's bound.
TEST_F(PlayNTest, HostileMessagesNeitherHoldNorMoveNorFloodTheGame) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> packet;
        std::size_t copies;
        bool inSettings;
        bool taken;  // a flick of piece 9 is taken
        std::size_t boxes;
    };
    const std::size_t flood = kMaxReceivedPackets + 200;
    StartNetworkSession(1, "");
    Begin(kRed);
    int address = 10;
    for (const Case& c :
         std::vector<Case>{{"huge aim", FlickBytes(9, 1e6), 1, false, true, 0},
                           {"own army", FlickBytes(3, 0), 1, false, false, 0},
                           {"unknown flood", {99}, 100, false, false, 1},
                           {"oversized", FlickBytes(9, 0, 65), 1, false, false, 0},
                           {"flood in settings", FlickBytes(9, 0), flood, true, true, 0}}) {
        SCOPED_TRACE(c.what);
        HostileMachine hostile(address++, GamePort());
        ASSERT_TRUE(hostile.Serve(2000));
        if (c.inSettings) ScreenPlayN.OnBack();
        messages.texts.clear();
        for (std::size_t copy = 0; copy < c.copies; ++copy) {
            enet_peer_send(
                hostile.peer, 0,
                enet_packet_create(c.packet.data(), c.packet.size(), ENET_PACKET_FLAG_RELIABLE));
        }
        // Nothing pumps while the settings screen is current: the whole flood waits.
        for (int wait = 0; c.inSettings && NetPeer->DroppedPackets() < flood - kMaxReceivedPackets;
             ++wait) {
            ASSERT_LT(wait, 3000);
            hostile.Serve(1);
        }
        if (c.inSettings) ScreenSett.OnBack();
        for (std::size_t tick = 0; tick < c.copies + 10 && !ScreenPlayN.pending; ++tick) {
            hostile.Serve(2);
            Tick();
        }
        EXPECT_EQ(ScreenPlayN.pending != 0, c.taken);
        EXPECT_LE(ScreenPlayN.countdown, kMaxReceivedFlickWaitTicks);
        EXPECT_EQ(messages.texts.size(), c.boxes);
        PlayReceivedToRest();
        EXPECT_EQ(CurrentScreen, &ScreenPlayN);
    }
}

namespace {

/// The "Network game" dialog answering what the test chose, counting its openings.
struct ScriptedDialog final : CNetworkDialog {
    std::optional<NetworkChoice> Run() override {
        ++opened;
        return answer;
    }
    std::optional<NetworkChoice> answer;
    int opened = 0;
};

class NetworkMenuTest : public PlayNTest {
protected:
    void SetUp() override {
        PlayNTest::SetUp();
        SetNetworkDialog(&dialog);
        SwitchScreen(&ScreenMain);
    }
    void TearDown() override {
        SetNetworkDialog(nullptr);
        PlayNTest::TearDown();
    }
    void ClickNetwork() { ScreenMain.OnLButtonDown(120, 224); }  // canvas (0.3, 0.44)

    ScriptedDialog dialog;
};

}  // namespace

// Cancelling the dialog leaves the menu current and makes no peer.
TEST_F(NetworkMenuTest, CancellingLeavesTheMenuAndMakesNoPeer) {
    ClickNetwork();
    EXPECT_EQ(dialog.opened, 1);
    EXPECT_EQ(CurrentScreen, &ScreenMain);
    EXPECT_EQ(NetPeer, nullptr);
}

// Red hosts on the game port whatever address was typed; the new GAME starts with Red to
// move on rows 0 and 0 and both scores 0.
TEST_F(NetworkMenuTest, ChoosingRedHostsANewGame) {
    ScreenPlayN.match.gameScore = {7, 3};
    ScreenPlayN.match.row = {2, 1};
    dialog.answer = NetworkChoice{true, u"no.such.host.invalid"};
    ClickNetwork();
    EXPECT_EQ(CurrentScreen, &ScreenPlayN);
    ASSERT_NE(NetPeer, nullptr);
    EXPECT_EQ(NetPeer->BoundPort(), GamePort());
    EXPECT_EQ(ScreenPlayN.sideInControl, kRed);
    EXPECT_EQ(ScreenPlayN.match.sideToMove, kRed);
    EXPECT_EQ(ScreenPlayN.match.gameScore, (std::array<std::int32_t, 2>{0, 0}));
    EXPECT_EQ(ScreenPlayN.match.row, (std::array<std::int32_t, 2>{0, 0}));
}

// White with an empty address connects to 127.0.0.1 on the game port: two copies of the game
// on one machine play each other.
TEST_F(NetworkMenuTest, WhiteWithAnEmptyAddressJoinsThisMachine) {
    ReliableUdpPeer host;
    ASSERT_TRUE(host.Startup(kHostConnections, kPeerUpdatePeriodMs, GamePort()));
    host.SetMaximumIncomingConnections(kHostConnections);
    dialog.answer = NetworkChoice{false, u""};
    ClickNetwork();
    EXPECT_EQ(CurrentScreen, &ScreenPlayN);
    EXPECT_EQ(ScreenPlayN.sideInControl, kWhite);
    auto joined = NextPacket(host, 3s);
    ASSERT_NE(joined, nullptr);
    EXPECT_EQ(joined->data[0], kIdNewIncomingConnection);
}
