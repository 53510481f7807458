// Two machines of a network game as two real processes of the headless player over 127.0.0.1:
// what one flicks, the other replays, and both tables, turns and results stay the same.

#include "game/board.h"
#include "net/reliable_udp_peer.h"
#include "tests/net/child_process.h"
#include "tests/net/free_port.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <limits>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

const std::string kPlayer = BRIVEL_NET_PLAYER;

std::vector<std::string> Fields(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> fields;
    for (std::string field; in >> field;)
        fields.push_back(field);
    return fields;
}

// The lines with `prefix`, each without its tick, so that two machines' can be compared.
std::vector<std::string> WithoutTicks(ChildProcess& player, const std::string& prefix) {
    std::vector<std::string> lines;
    for (const std::string& line : player.LinesStartingWith(prefix)) {
        std::vector<std::string> fields = Fields(line);
        fields.erase(fields.begin(), fields.begin() + 2);
        std::string rest;
        for (const std::string& field : fields)
            rest += field + " ";
        lines.push_back(rest);
    }
    return lines;
}

struct Session {
    std::uint16_t port = FreeUdpPort();

    std::vector<std::string> Args(const char* army, std::vector<std::string> more) const {
        std::vector<std::string> args{army, "--port", std::to_string(port)};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    std::unique_ptr<ChildProcess> Start(const char* army, std::vector<std::string> more) const {
        auto player = std::make_unique<ChildProcess>(kPlayer, Args(army, std::move(more)));
        EXPECT_TRUE(player->WaitFor("START", 10s)) << army << " did not start";
        return player;
    }
};

// A client of our own in the test process, to say what a faulty machine would.
struct RawClient {
    ReliableUdpPeer peer;

    explicit RawClient(std::uint16_t port, const char* localAddress = nullptr) {
        peer.Startup(1, 30, 0, localAddress);
        peer.Connect("127.0.0.1", port);
    }

    bool WaitAccepted() {
        for (int i = 0; i < 500; ++i) {
            if (auto packet = peer.Receive())
                return packet->data[0] == kIdConnectionRequestAccepted;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }
};

std::array<std::uint8_t, 24> RawFlick(std::int32_t piece, double aim, double power) {
    std::array<std::uint8_t, 24> bytes{82};
    auto put = [&bytes](int at, std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    put(4, static_cast<std::uint32_t>(piece), 4);
    put(8, std::bit_cast<std::uint64_t>(aim), 8);
    put(16, std::bit_cast<std::uint64_t>(power), 8);
    return bytes;
}

}  // namespace

// The line's text after "MESSAGE <tick> ".
std::string MessageText(const ChildProcess::Line& line) {
    std::vector<std::string> fields = Fields(line.text);
    return line.text.substr(line.text.find(fields.at(2), 8));
}

// The White machine hears it was accepted, replays each Red flick exactly swing length + 8
// ticks after the tick that took it, from bit for bit the sender's velocity, and after every
// move both tables, turns, rows, scores and counts agree.
TEST(TwoMachines, FlicksAreReplayedOnTimeAndBothTablesAgree) {
    Session session;
    auto red = session.Start("--red", {"--tick-ms", "10", "--wait-peer", "--flicks", "3"});
    auto white = session.Start("--white", {"--tick-ms", "10", "--flicks", "3"});
    auto accepted = white->WaitFor("MESSAGE", 10s);
    ASSERT_TRUE(accepted);
    EXPECT_EQ(MessageText(*accepted), "CONNECTION_REQUEST_ACCEPTED");

    ASSERT_TRUE(red->WaitForCount("REST", 4, 90s));
    ASSERT_TRUE(white->WaitForCount("REST", 4, 90s));
    std::vector<std::string> redRests = WithoutTicks(*red, "REST");
    std::vector<std::string> whiteRests = WithoutTicks(*white, "REST");
    redRests.resize(4);
    whiteRests.resize(4);
    EXPECT_EQ(redRests, whiteRests);

    std::vector<std::string> sent = red->LinesStartingWith("SENT");
    std::vector<std::string> took = white->LinesStartingWith("TOOK");
    std::vector<std::string> played = white->LinesStartingWith("PLAYED");
    ASSERT_FALSE(sent.empty());
    ASSERT_FALSE(took.empty());
    ASSERT_FALSE(played.empty());
    std::vector<std::string> s = Fields(sent[0]), t = Fields(took[0]), p = Fields(played[0]);
    EXPECT_EQ(std::stol(p[1]) - std::stol(t[1]), std::stol(t[3]) + 8)
        << took[0] << " / " << played[0];
    EXPECT_EQ(s[2], t[2]) << "the same piece";
    EXPECT_EQ(s[3] + s[4], p[3] + p[4]) << "the same velocity, bit for bit";
}

// Both machines play battles to the end of a GAME with the same moves and results; then both
// close their sessions, reach the main menu, and the host's port can be bound again at once.
TEST(TwoMachines, AWholeGameEndsTheSameOnBoth) {
    Session session;
    // Red starts one row from winning, so that the GAME ends within a few battles.
    std::vector<std::string> common{"--tick-ms", "3", "--rows", "6,0", "--max-ticks", "40000"};
    std::vector<std::string> redArgs = common;
    redArgs.insert(redArgs.end(), {"--wait-peer", "--rehost-check"});
    auto red = session.Start("--red", redArgs);
    auto white = session.Start("--white", common);
    ASSERT_TRUE(red->WaitFor("GAME_OVER", 170s));
    ASSERT_TRUE(white->WaitFor("GAME_OVER", 30s));
    EXPECT_TRUE(red->WaitFor("REHOST ok", 5s));
    std::vector<std::string> redResults = WithoutTicks(*red, "RESULT");
    ASSERT_FALSE(redResults.empty());
    EXPECT_EQ(redResults, WithoutTicks(*white, "RESULT"));
    EXPECT_TRUE(redResults.back() == "4 " || redResults.back() == "6 ") << redResults.back();
    EXPECT_EQ(WithoutTicks(*red, "REST"), WithoutTicks(*white, "REST"));
    EXPECT_EQ(red->WaitExit(10s), 0);
    EXPECT_EQ(white->WaitExit(10s), 0);
    for (ChildProcess* player : {red.get(), white.get()}) {
        for (const std::string& line : player->LinesStartingWith("MESSAGE"))
            EXPECT_EQ(line.find("CONNECTION_LOST"), std::string::npos) << line;
    }
}

// Where nobody listens, the attempt is reported failed within the connect time-out.
TEST(TwoMachinesFailures, NobodyListeningFailsWithinTheTimeOut) {
    Session session;
    auto white = session.Start("--white", {});
    auto started = white->WaitFor("START", 1s);
    auto failed = white->WaitFor("MESSAGE", 10s);
    ASSERT_TRUE(failed);
    EXPECT_EQ(MessageText(*failed), "CONNECTION_ATTEMPT_FAILED");
    EXPECT_LT(failed->arrived - started->arrived,
              std::chrono::milliseconds(kConnectTimeoutMs + 1500));
}

// A host takes two machines from one address and ten in all (127.0.0.2 and up stand in for
// other machines); the third from one address is turned away, and so is the eleventh, which
// hears the connection lost, never accepted.
TEST(TwoMachinesFailures, TheEleventhClientOfAFullHostHearsConnectionLost) {
    Session session;
    auto red = session.Start("--red", {});
    std::vector<std::unique_ptr<RawClient>> clients;
    for (int i = 0; i < 10; ++i) {
        std::string address = "127.0.0." + std::to_string(2 + i / 2);
        clients.push_back(std::make_unique<RawClient>(session.port, address.c_str()));
        ASSERT_TRUE(clients.back()->WaitAccepted()) << "client " << i;
        if (i != 1) continue;
        RawClient third(session.port, address.c_str());
        EXPECT_FALSE(third.WaitAccepted()) << "a third from one address";
    }
    auto white = session.Start("--white", {});
    auto message = white->WaitFor("MESSAGE", 10s);
    ASSERT_TRUE(message);
    EXPECT_EQ(MessageText(*message), "CONNECTION_LOST");
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(white->LinesStartingWith("MESSAGE").size(), 1u);
}

// The other side closing is heard at once; a killed one within the lost time-out.
TEST(TwoMachinesFailures, ClosingAndKilledPeersAreReportedLost) {
    Session session;
    auto red = session.Start("--red", {"--tick-ms", "10"});
    {
        auto white = session.Start("--white", {"--tick-ms", "10", "--max-ticks", "100"});
        ASSERT_TRUE(white->WaitFor("MESSAGE", 10s));
        ASSERT_TRUE(white->WaitFor("END", 10s));
        auto lost = red->WaitFor("MESSAGE", 3s);
        ASSERT_TRUE(lost) << "closed";
        EXPECT_EQ(MessageText(*lost), "CONNECTION_LOST");
        EXPECT_LT(lost->arrived - white->WaitFor("END", 0s)->arrived, 1s);
    }
    auto white = session.Start("--white", {"--tick-ms", "10"});
    ASSERT_TRUE(white->WaitFor("MESSAGE", 10s));
    std::size_t before = red->Lines().size();
    auto killed = std::chrono::steady_clock::now();
    white->Kill();
    auto lost = red->WaitFor("MESSAGE", std::chrono::milliseconds(kLostTimeoutMs + 3000), before);
    ASSERT_TRUE(lost) << "killed";
    EXPECT_EQ(MessageText(*lost), "CONNECTION_LOST");
    EXPECT_LT(lost->arrived - killed, std::chrono::milliseconds(kLostTimeoutMs + 2000));
}

// A faulty machine: identifier 16 is shown by its number; malformed flicks change nothing; a
// good flick after them is still played.
TEST(TwoMachinesFailures, UnknownAndMalformedMessagesChangeNothing) {
    Session session;
    auto red = session.Start("--red", {"--tick-ms", "10"});
    RawClient faulty(session.port);
    ASSERT_TRUE(faulty.WaitAccepted());
    std::vector<std::uint8_t> sixteen{16};
    faulty.peer.Send(sixteen);
    auto shown = red->WaitFor("MESSAGE", 5s);
    ASSERT_TRUE(shown);
    EXPECT_EQ(MessageText(*shown), "Network: msg 16");
    auto nan = RawFlick(9, std::numeric_limits<double>::quiet_NaN(), 2);
    auto inf = RawFlick(9, 10, std::numeric_limits<double>::infinity());
    auto outside = RawFlick(16, 10, 2);
    auto negative = RawFlick(-1, 10, 2);
    std::vector<std::uint8_t> shortOne(nan.begin(), nan.begin() + 23);
    for (std::span<const std::uint8_t> bad :
         {std::span<const std::uint8_t>(nan), std::span<const std::uint8_t>(inf),
          std::span<const std::uint8_t>(outside), std::span<const std::uint8_t>(negative),
          std::span<const std::uint8_t>(shortOne)}) {
        faulty.peer.Send(bad);
    }
    auto good = RawFlick(9, 10, 2);
    faulty.peer.Send(good);
    auto took = red->WaitFor("TOOK", 5s);
    ASSERT_TRUE(took);
    EXPECT_EQ(Fields(took->text)[2], "9");
    EXPECT_EQ(red->LinesStartingWith("TOOK").size(), 1u);
    EXPECT_EQ(red->LinesStartingWith("MESSAGE").size(), 1u);
}
