// Two machines of a network game as two headless players over a bad link: our own relay on
// 127.0.0.1 delays, drops, reorders and duplicates what they send. Every move must still come to
// rest on the same table on both, with the same turn, rows and scores, no flick lost or stuck;
// and when the relay stops forwarding for good, both hear the connection lost and end cleanly.
// BRIVEL_BAD_LINK_FLICKS (default 100) sets how many flicks the two make together (the soak
// runs it with more); BRIVEL_BAD_LINK_DIRECT=1 connects them without the relay.

#include "net/network_session.h"
#include "net/reliable_udp_peer.h"
#include "tests/net/child_process.h"
#include "tests/net/free_port.h"
#include "tests/net/peer_harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

int EnvInt(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::atoi(value) : fallback;
}

// The lines with `prefix`, each without its first two fields (the prefix and the tick).
std::vector<std::string> WithoutTicks(ChildProcess& player, const std::string& prefix) {
    std::vector<std::string> lines;
    for (const std::string& line : player.LinesStartingWith(prefix)) {
        std::istringstream in(line);
        std::string skip, rest, field;
        in >> skip >> skip;
        while (in >> field)
            rest += field + " ";
        lines.push_back(rest);
    }
    return lines;
}

struct BadLink {
    const int flicks = EnvInt("BRIVEL_BAD_LINK_FLICKS", 100);
    const bool direct = EnvInt("BRIVEL_BAD_LINK_DIRECT", 0) != 0;
    const std::uint16_t hostPort = FreeUdpPort();
    std::uint16_t relayPort = FreeUdpPort();
    const std::string cutFile =
        (std::filesystem::temp_directory_path() / ("bad_link_cut_" + std::to_string(hostPort)))
            .string();
    std::unique_ptr<ChildProcess> relay, red, white;

    void Start() {
        while (relayPort == hostPort)
            relayPort = FreeUdpPort();
        std::filesystem::remove(cutFile);
        if (!direct) {
            relay = std::make_unique<ChildProcess>(
                BRIVEL_BAD_LINK_RELAY,
                std::vector<std::string>{
                    "--listen", std::to_string(relayPort), "--forward", std::to_string(hostPort),
                    "--delay-ms", "100", "--jitter-ms", "20", "--drop", "0.05", "--duplicate",
                    "0.02", "--reorder", "0.03", "--seed", "12", "--cut-file", cutFile});
            auto settings = relay->WaitFor("RELAY", 10s);
            ASSERT_TRUE(settings) << "the relay did not start";
            std::printf("%s\n", settings->text.c_str());
        }
        // Either army may have to move many times running (the winner of a battle moves
        // first in the next), so each may flick as often as both together are to.
        std::vector<std::string> common{"--tick-ms", "3", "--max-ticks", "100000000",
                                        "--quit-on-lost", "--games", "1000"};
        red = Player("--red", hostPort, flicks, common, {"--wait-peer"});
        white = Player("--white", direct ? hostPort : relayPort, flicks, common, {"--rejoin"});
    }

    std::unique_ptr<ChildProcess> Player(const char* army, std::uint16_t port, int count,
                                         std::vector<std::string> args,
                                         const std::vector<std::string>& more) {
        args.insert(args.end(),
                    {army, "--port", std::to_string(port), "--flicks", std::to_string(count)});
        args.insert(args.end(), more.begin(), more.end());
        auto player = std::make_unique<ChildProcess>(BRIVEL_NET_PLAYER, args);
        EXPECT_TRUE(player->WaitFor("START", 10s)) << army << " did not start";
        return player;
    }

    ~BadLink() { std::filesystem::remove(cutFile); }
};

}  // namespace

std::string LastLines(ChildProcess& player, std::size_t count) {
    std::vector<ChildProcess::Line> lines = player.Lines();
    std::string text;
    for (std::size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i)
        text += "  " + lines[i].text + "\n";
    return text;
}

// Waits until one army has made all its `flicks` and both machines have judged every flick
// made, as long as something happens at least every minute.
bool ReachQuiet(ChildProcess& red, ChildProcess& white, std::size_t flicks) {
    std::size_t lastLines = 0;
    auto lastChange = std::chrono::steady_clock::now();
    for (;;) {
        std::size_t redSent = red.LinesStartingWith("SENT").size();
        std::size_t whiteSent = white.LinesStartingWith("SENT").size();
        std::size_t redRests = red.LinesStartingWith("REST").size();
        std::size_t whiteRests = white.LinesStartingWith("REST").size();
        if ((redSent == flicks || whiteSent == flicks) && redRests == redSent + whiteSent &&
            whiteRests == redRests)
            return true;
        std::size_t lines = red.Lines().size() + white.Lines().size();
        if (lines != lastLines) {
            lastLines = lines;
            lastChange = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - lastChange > 60s) {
            ADD_FAILURE() << "stuck: Red sent " << redSent << " and judged " << redRests
                          << " moves, White sent " << whiteSent << " and judged " << whiteRests
                          << "\nRed's last lines:\n"
                          << LastLines(red, 12) << "White's last lines:\n"
                          << LastLines(white, 12);
            return false;
        }
        std::this_thread::sleep_for(100ms);
    }
}

// Waits for `player`'s next message box after the `seen` ones so far.
std::string NextMessage(ChildProcess& player, std::size_t seen, std::chrono::milliseconds timeout) {
    if (!player.WaitForCount("MESSAGE", seen + 1, timeout)) return "none";
    return player.LinesStartingWith("MESSAGE")[seen];
}

TEST(BadLink, EveryMoveAgreesAndACutLinkIsReportedLostOnBoth) {
    BadLink link;
    ASSERT_NO_FATAL_FAILURE(link.Start());
    auto started = std::chrono::steady_clock::now();
    std::size_t flicks = static_cast<std::size_t>(link.flicks);
    ASSERT_TRUE(ReachQuiet(*link.red, *link.white, flicks));
    long seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
            .count();

    // The same moves on both, judged the same; every flick one side sent, the other played with
    // the same velocity bits, in order, none twice.
    std::vector<std::string> redRests = WithoutTicks(*link.red, "REST");
    EXPECT_EQ(redRests, WithoutTicks(*link.white, "REST"));
    EXPECT_EQ(WithoutTicks(*link.red, "RESULT"), WithoutTicks(*link.white, "RESULT"));
    std::vector<std::string> redSent = WithoutTicks(*link.red, "SENT");
    std::vector<std::string> whiteSent = WithoutTicks(*link.white, "SENT");
    EXPECT_EQ(redSent, WithoutTicks(*link.white, "PLAYED"));
    EXPECT_EQ(whiteSent, WithoutTicks(*link.red, "PLAYED"));
    EXPECT_GE(redSent.size() + whiteSent.size(), flicks);
    std::printf(
        "flicks %zu (Red %zu, White %zu), moves judged alike on both %zu, results %zu, "
        "%ld s\n",
        redSent.size() + whiteSent.size(), redSent.size(), whiteSent.size(), redRests.size(),
        link.red->LinesStartingWith("RESULT").size(), seconds);

    // The link is cut (or, direct, the host is killed): both hear it and end.
    std::size_t whiteSeen = link.white->LinesStartingWith("MESSAGE").size();
    std::size_t redSeen = link.red->LinesStartingWith("MESSAGE").size();
    std::optional<ChildProcess::Line> cut;
    if (link.direct) {
        link.red->Kill();
    } else {
        std::ofstream(link.cutFile) << "cut\n";
        cut = link.relay->WaitFor("CUT", 5s);
        ASSERT_TRUE(cut);
        std::printf("%s\n", cut->text.c_str());
    }
    auto timeout = std::chrono::milliseconds(kLostTimeoutMs + 6000);
    for (ChildProcess* player : {link.red.get(), link.white.get()}) {
        if (link.direct && player == link.red.get()) continue;
        std::string lost =
            NextMessage(*player, player == link.red.get() ? redSeen : whiteSeen, timeout);
        EXPECT_NE(lost.find("CONNECTION_LOST"), std::string::npos) << lost;
        if (cut) {  // not before the peers' own time-out, though the relay held some datagrams
            EXPECT_GT(std::chrono::steady_clock::now() - cut->arrived, 4s);
        }
        EXPECT_TRUE(player->WaitFor("END", 10s)) << "still running after the lost connection";
        EXPECT_EQ(player->WaitExit(5s), 0);
    }
}

// The machine that makes a GAME's last move closes its session as soon as the move has come to
// rest; on a lossy link that flick may not have reached the other machine yet. The close waits
// for the acknowledgement, so the other machine still plays the move and then hears the close;
// but it does not wait for a machine that has gone silent.
TEST(BadLink, ClosingASessionFirstDeliversWhatItSentLast) {
    struct Case {
        std::chrono::milliseconds heldFor;  ///< how long the relay drops everything; 0: for good
        bool delivered;
    };
    for (Case c : {Case{300ms, true}, Case{0ms, false}}) {
        std::unique_ptr<ReliableUdpPeer> host = StartHost();
        std::uint16_t relayPort = FreeUdpPort();
        std::string holdFile = (std::filesystem::temp_directory_path() /
                                ("bad_link_hold_" + std::to_string(relayPort)))
                                   .string();
        ChildProcess relay(BRIVEL_BAD_LINK_RELAY,
                           {"--listen", std::to_string(relayPort), "--forward",
                            std::to_string(host->BoundPort()), "--delay-ms", "5", "--jitter-ms",
                            "0", "--drop", "0", "--duplicate", "0", "--reorder", "0",
                            "--hold-file", holdFile});
        ASSERT_TRUE(relay.WaitFor("RELAY", 10s));
        SetGamePort(relayPort);
        StartNetworkSession(0, "127.0.0.1");
        ASSERT_EQ(WaitForId(*NetPeer, 6s), kIdConnectionRequestAccepted);
        ASSERT_EQ(WaitForId(*host, 1s), kIdNewIncomingConnection);

        std::ofstream(holdFile) << "hold\n";
        std::this_thread::sleep_for(50ms);  // the relay looks for the file every few ms
        SendFlickMessage({3, 91.5, 2.5});
        std::thread lift([&] {
            if (c.heldFor == 0ms) return;
            std::this_thread::sleep_for(c.heldFor);
            std::filesystem::remove(holdFile);
        });
        Clock::time_point closing = Clock::now();
        CloseNetworkSession();
        double closeMs = MillisecondsSince(closing);
        lift.join();
        std::filesystem::remove(holdFile);
        SetGamePort(kGamePort);

        if (c.delivered) {
            EXPECT_EQ(WaitForId(*host, 2s), kIdFlickMessage);
            EXPECT_EQ(WaitForId(*host, 2s), kIdDisconnectionNotification);
            EXPECT_LT(closeMs, kCloseLingerMs);
        } else {  // the host is silent from the hold on: given up on after the linger silence
            EXPECT_GT(closeMs, kLingerSilenceMs - 100.0);
            EXPECT_LT(closeMs, kLingerSilenceMs + 300.0);
        }
    }
}
