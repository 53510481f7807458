// The game's end, each case in a process of its own (shutdown_driver): closing the main window
// in the middle of things ends the process within a second, with exit status 0 and no thread
// but the main one left when main returns (built with the sanitizers, LeakSanitizer checks at
// that exit that nothing leaked); and a settings writer killed at random moments never leaves
// the settings file half-written.
// Threads: the test thread, and one reader thread per child process.

#include "net/reliable_udp_peer.h"
#include "tests/app/settings_rounds.h"
#include "tests/net/child_process.h"
#include "tests/net/free_port.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

namespace {

constexpr auto kStartLimit = 60s;  // a sanitizer build starts the game slowly
constexpr auto kCloseToExitLimit = 1000ms;

// Every child runs headless, silent, and with its settings in a folder of the test's own.
class ChildEnvironment : public testing::Test {
protected:
    ChildEnvironment() {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("ALSOFT_DRIVERS", "null", 1);
        setenv("XDG_CONFIG_HOME", configHome_.path().toLocal8Bit().constData(), 1);
    }

    QString SettingsFile() const { return configHome_.path() + "/Quenlo/Brivel.conf"; }

private:
    QTemporaryDir configHome_;
};

struct ShutdownCase {
    const char* state;
    const char* ready;  // how the driver's READY line starts once the state was reached
};

// Names the case by its state in the test's name.
void PrintTo(const ShutdownCase& c, std::ostream* out) {
    *out << c.state;
}

class GameShutdownTest : public ChildEnvironment,
                         public testing::WithParamInterface<ShutdownCase> {};

// The network case's other machine: a client on 127.0.0.1 that connects once the game hosts.
class OtherMachine {
public:
    explicit OtherMachine(std::uint16_t port) {
        EXPECT_TRUE(peer_.Startup(1, 30, 0));
        EXPECT_TRUE(peer_.Connect("127.0.0.1", port));
    }
    // Every identifier heard within `wait`.
    std::set<int> Heard(std::chrono::milliseconds wait) {
        auto deadline = std::chrono::steady_clock::now() + wait;
        while (std::chrono::steady_clock::now() < deadline) {
            if (std::unique_ptr<NetPacket> packet = peer_.Receive()) {
                heard_.insert(packet->data[0]);
            } else {
                std::this_thread::sleep_for(2ms);
            }
        }
        return heard_;
    }

private:
    ReliableUdpPeer peer_;
    std::set<int> heard_;
};

TEST_P(GameShutdownTest, ClosingTheWindowEndsTheProcessWithOnlyTheMainThreadLeft) {
    const ShutdownCase& c = GetParam();
    const bool isNetwork = std::string(c.state) == "network";
    const std::uint16_t port = FreeUdpPort();
    std::vector<std::string> args{c.state};
    if (isNetwork) args.push_back(std::to_string(port));
    ChildProcess game(BRIVEL_SHUTDOWN_DRIVER, args);

    std::unique_ptr<OtherMachine> other;
    if (isNetwork) {
        ASSERT_TRUE(game.WaitFor("LISTENING", kStartLimit));
        other = std::make_unique<OtherMachine>(port);
    }
    std::optional<ChildProcess::Line> close = game.WaitFor("CLOSE", kStartLimit);
    ASSERT_TRUE(close) << "the game never reached the close";
    std::optional<int> status = game.WaitExit(10s);
    // From the moment the game closed its window, as it read the clock, to its exit seen here.
    auto closedAt = std::chrono::steady_clock::time_point(
        std::chrono::nanoseconds(std::stoll(close->text.substr(std::strlen("CLOSE ")))));
    auto closeToExit = std::chrono::steady_clock::now() - closedAt;
    ASSERT_TRUE(status) << "the game is still running 10 s after its window closed";

    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(closeToExit).count();
    std::printf("%s: close to exit %lld ms\n", c.state, static_cast<long long>(ms));
    EXPECT_EQ(*status, 0);
    EXPECT_LT(closeToExit, kCloseToExitLimit);
    std::vector<std::string> ready = game.LinesStartingWith("READY");
    ASSERT_EQ(ready.size(), 1u);
    EXPECT_TRUE(ready[0].starts_with(c.ready)) << ready[0];
    std::optional<ChildProcess::Line> threads = game.WaitFor("THREADS", 1s);
    ASSERT_TRUE(threads);
    EXPECT_TRUE(threads->text.starts_with("THREADS 1 ")) << threads->text;
    if (isNetwork) {
        // The game closed its session: the other machine was told, not left to time out.
        std::set<int> heard = other->Heard(500ms);
        EXPECT_TRUE(heard.contains(kIdConnectionRequestAccepted));
        EXPECT_TRUE(heard.contains(kIdDisconnectionNotification));
    }
}

INSTANTIATE_TEST_SUITE_P(States, GameShutdownTest,
                         testing::Values(ShutdownCase{"menu", "READY menu"},
                                         ShutdownCase{"flick", "READY moving=1"},
                                         ShutdownCase{"computer", "READY phase=2 chosen="},
                                         ShutdownCase{"network", "READY connected=1"},
                                         ShutdownCase{"message", "READY box=open"},
                                         ShutdownCase{"result", "READY result=shown"}),
                         [](const testing::TestParamInfo<ShutdownCase>& param) {
                             return std::string(param.param.state);
                         });

using SettingsKillTest = ChildEnvironment;

// The highest round the writer reported written out; -1 for none.
int LastSynced(ChildProcess& writer) {
    int last = -1;
    for (const std::string& line : writer.LinesStartingWith("SYNCED "))
        last = std::max(last, std::atoi(line.c_str() + 7));
    return last;
}

TEST_F(SettingsKillTest, AWriterKilledAtRandomNeverLeavesTheFileHalfWritten) {
    constexpr int kKills = 20;
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> delayMs(0, 25);
    int lastSynced = -1;
    for (int kill = 0; kill < kKills; ++kill) {
        ChildProcess writer(BRIVEL_SHUTDOWN_DRIVER, {"settings-writer"});
        // Once it has written a round it is surely in its loop of writes.
        ASSERT_TRUE(writer.WaitFor("SYNCED", 10s)) << "writer " << kill << " wrote nothing";
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        writer.Kill();
        lastSynced = std::max(lastSynced, LastSynced(writer));

        QSettings file(SettingsFile(), QSettings::IniFormat);
        ASSERT_EQ(file.status(), QSettings::NoError) << "after kill " << kill;
        std::optional<std::int32_t> round = StoredRound([&file](std::string_view key) {
            bool isNumber = false;
            int value =
                file.value(QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size())))
                    .toString()
                    .toInt(&isNumber);
            return isNumber ? std::optional<std::int32_t>(value) : std::nullopt;
        });
        ASSERT_TRUE(round) << "half-written settings after kill " << kill;
        // Nothing the writer had written out is lost.
        EXPECT_GE(*round, lastSynced) << "after kill " << kill;
    }
}

// A writer killed between creating the lock file and filling it in leaves it empty. The next
// game must not wait for it (Qt would, until it is 30 s old), but must wait for a lock that a
// live writer holds.
TEST_F(SettingsKillTest, AnAbandonedLockFileHoldsUpNoWriterButAHeldOneDoes) {
    QDir().mkpath(QFileInfo(SettingsFile()).path());
    const QByteArray lockName = QFile::encodeName(SettingsFile() + ".lock");
    int lock = open(lockName.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(flock(lock, LOCK_EX | LOCK_NB), 0);
    {
        ChildProcess heldUp(BRIVEL_SHUTDOWN_DRIVER, {"settings-writer"});
        EXPECT_FALSE(heldUp.WaitFor("SYNCED", 300ms)) << "wrote while another held the lock";
    }
    EXPECT_TRUE(QFileInfo::exists(SettingsFile() + ".lock"));
    close(lock);  // as a writer killed before it wrote into the lock file leaves it
    ChildProcess writer(BRIVEL_SHUTDOWN_DRIVER, {"settings-writer"});
    EXPECT_TRUE(writer.WaitFor("SYNCED", 2s)) << "held up by an abandoned lock file";
}

}  // namespace
