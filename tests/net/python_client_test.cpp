// A White machine written apart from the game (Python, Debian's ENet binding and struct) plays
// against the headless Red host: what each side reads of the other's flick must be, bit for bit,
// what the other meant, so that the wire format does not merely agree with itself.

#include "game/board.h"
#include "tests/net/child_process.h"
#include "tests/net/free_port.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

const std::string kPython = "/usr/bin/python3";

std::vector<std::string> Fields(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> fields;
    for (std::string field; in >> field;)
        fields.push_back(field);
    return fields;
}

// A double as C writes it in hexadecimal ("%a"), which Python's float.fromhex reads exactly.
std::string HexFloat(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

// The bits of a double as the headless player prints them.
std::string Bits(double value) {
    char text[20];
    std::snprintf(text, sizeof text, "%016llx",
                  static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(value)));
    return text;
}

std::string VelocityBits(double aim, double power) {
    Velocity v = FlickVelocity(aim, power);
    return Bits(v.vx) + " " + Bits(v.vy);
}

// Everything the child printed, for a failure's message.
std::string Transcript(ChildProcess& child) {
    std::string text;
    for (const ChildProcess::Line& line : child.Lines())
        text += line.text + "\n";
    return text;
}

bool PythonHasEnet() {
    ChildProcess probe(kPython, {"-c", "import enet"});
    return probe.WaitExit(10s) == 0;
}

}  // namespace

// The Python client decodes the host's flick into the very aim and power from which the host
// set its piece moving; the host takes the client's hand-packed flick of White piece 9 and
// starts it with exactly the velocity that aim and power give.
TEST(PythonClient, EachSideReadsTheOthersFlickBitForBit) {
    if (!PythonHasEnet()) GTEST_SKIP() << kPython << " cannot import enet (python3-enet)";
    const int piece = 9;
    const double aim = 123.456;  // not a round number in binary: every bit must travel
    const double power = 1.7300000000000002;
    std::uint16_t port = FreeUdpPort();
    ChildProcess host(BRIVEL_NET_PLAYER, {"--red", "--wait-peer", "--flicks", "1", "--port",
                                          std::to_string(port), "--tick-ms", "10"});
    ASSERT_TRUE(host.WaitFor("START", 10s));
    ChildProcess client(kPython, {BRIVEL_PYTHON_CLIENT, "--port", std::to_string(port), "--piece",
                                  std::to_string(piece), "--aim", HexFloat(aim), "--power",
                                  HexFloat(power), "--linger", "20"});

    auto received = client.WaitFor("RECEIVED", 15s);
    ASSERT_TRUE(received) << Transcript(client);
    auto sent = host.WaitFor("SENT", 1s);
    ASSERT_TRUE(sent);
    std::vector<std::string> r = Fields(received->text), s = Fields(sent->text);
    EXPECT_EQ(r[1], "82");
    EXPECT_EQ(r[2], s[2]) << "the same piece";
    double readAim = std::strtod(r[3].c_str(), nullptr);
    double readPower = std::strtod(r[4].c_str(), nullptr);
    EXPECT_EQ(VelocityBits(readAim, readPower), s[3] + " " + s[4])
        << "the host's motion from the aim and power the client read";

    auto played = host.WaitFor("PLAYED", 20s);
    ASSERT_TRUE(played) << "the host never played the client's flick\n" << Transcript(host);
    auto took = host.WaitFor("TOOK", 0s);
    ASSERT_TRUE(took);
    EXPECT_EQ(Fields(took->text)[2], std::to_string(piece));
    std::vector<std::string> p = Fields(played->text);
    EXPECT_EQ(p[2], std::to_string(piece));
    EXPECT_EQ(p[3] + " " + p[4], VelocityBits(aim, power));
    EXPECT_TRUE(client.LinesStartingWith("ERROR").empty()) << Transcript(client);
}
