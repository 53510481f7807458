// A bad network link between two game machines on 127.0.0.1, for tests: a UDP relay that
// delays, drops, reorders and duplicates datagrams, drawn from a fixed seed so that a failing
// run repeats. The joining machine sends to the relay's port; the relay forwards to the host's
// port from a socket of its own for each joining socket, and sends the host's answers back to
// the joining socket they belong to.
//
//   bad_link_relay --listen P --forward Q [--delay-ms 100] [--jitter-ms 20] [--drop 0.05]
//                  [--duplicate 0.02] [--reorder 0.03] [--seed 12] [--cut-file PATH]
//                  [--hold-file PATH]
//
// Every datagram waits delay ± jitter (uniform); a reordered one waits half a delay longer, so
// that datagrams sent after it overtake it; a duplicated one is sent twice, each copy with its
// own delay. Once the file at --cut-file exists, nothing more is forwarded in either direction,
// as if the cable were pulled. While the file at --hold-file exists, every datagram is dropped;
// the link comes back when it is removed. Prints "RELAY <settings>" at start and "CUT <counts>" at the cut.
// One thread: a poll loop that reads every socket and sends what is due.

#include <arpa/inet.h>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Settings {
    int listenPort = 0;
    int forwardPort = 0;
    int delayMs = 100;
    int jitterMs = 20;
    double drop = 0.05;
    double duplicate = 0.02;
    double reorder = 0.03;
    unsigned seed = 12;
    std::string cutFile;
    std::string holdFile;
};

struct Counts {
    long received = 0;
    long forwarded = 0;
    long dropped = 0;
    long duplicated = 0;
    long reordered = 0;
};

struct Datagram {
    bool toHost = false;
    std::vector<char> bytes;
    int flow = -1;  ///< the joining socket it came from or goes to
};

bool Parse(int argc, char** argv, Settings& s) {
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string_view arg = argv[i];
        const char* value = argv[i + 1];
        if (arg == "--listen")
            s.listenPort = std::atoi(value);
        else if (arg == "--forward")
            s.forwardPort = std::atoi(value);
        else if (arg == "--delay-ms")
            s.delayMs = std::atoi(value);
        else if (arg == "--jitter-ms")
            s.jitterMs = std::atoi(value);
        else if (arg == "--drop")
            s.drop = std::atof(value);
        else if (arg == "--duplicate")
            s.duplicate = std::atof(value);
        else if (arg == "--reorder")
            s.reorder = std::atof(value);
        else if (arg == "--seed")
            s.seed = static_cast<unsigned>(std::atol(value));
        else if (arg == "--cut-file")
            s.cutFile = value;
        else if (arg == "--hold-file")
            s.holdFile = value;
        else
            return false;
    }
    return argc % 2 == 1 && s.listenPort > 0 && s.forwardPort > 0;
}

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

/// A UDP socket bound to 127.0.0.1:`port` (0 for any free port), or -1.
int BoundSocket(int port) {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address = Loopback(port);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return -1;
    return fd;
}

class Relay {
public:
    explicit Relay(const Settings& settings) : s_(settings), random_(settings.seed) {}

    ~Relay() {
        for (const Flow& flow : flows_)
            close(flow.fd);
        if (joiner_ >= 0) close(joiner_);
    }

    bool Open() {
        joiner_ = BoundSocket(s_.listenPort);
        return joiner_ >= 0;
    }

    void Run() {
        while (!cut_) {
            holding_ = !s_.holdFile.empty() && std::filesystem::exists(s_.holdFile);
            ReceiveAll();
            SendDue();
            Wait();
            if (!s_.cutFile.empty() && std::filesystem::exists(s_.cutFile)) Cut();
        }
        for (;;) {  // the cable is out: everything sent is lost
            Wait();
            ReceiveAll();
            queue_.clear();
        }
    }

private:
    /// One joining socket and the relay's own socket towards the host for it, as a NAT keeps
    /// one mapping per source port: a machine that joins anew never hears what the host sent
    /// to its earlier socket.
    struct Flow {
        sockaddr_in joiner{};
        int fd = -1;
    };

    double Chance() { return static_cast<double>(random_() >> 11) * 0x1p-53; }

    void ReceiveAll() {
        Receive(joiner_, -1);
        for (std::size_t i = 0; i < flows_.size(); ++i)
            Receive(flows_[i].fd, static_cast<int>(i));
    }

    /// Reads what waits on `fd`: the joiners' socket when `flow` is -1, else that flow's socket
    /// towards the host.
    void Receive(int fd, int flow) {
        for (;;) {
            Datagram d{flow < 0, std::vector<char>(65536)};
            sockaddr_in from{};
            socklen_t size = sizeof from;
            ssize_t n = recvfrom(fd, d.bytes.data(), d.bytes.size(), MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&from), &size);
            if (n < 0) return;
            d.bytes.resize(static_cast<std::size_t>(n));
            d.flow = flow < 0 ? FlowOf(from) : flow;
            ++counts_.received;
            if (Chance() < s_.drop || holding_ || d.flow < 0) {
                ++counts_.dropped;
                continue;
            }
            bool twice = Chance() < s_.duplicate;
            counts_.duplicated += twice;
            for (int copy = 0; copy <= int{twice}; ++copy)
                queue_.emplace(Clock::now() + DelayOfOne(), d);
        }
    }

    /// The flow of the joining socket `from`, made on its first datagram; -1 when no socket
    /// towards the host can be opened.
    int FlowOf(const sockaddr_in& from) {
        for (std::size_t i = 0; i < flows_.size(); ++i) {
            if (flows_[i].joiner.sin_port == from.sin_port &&
                flows_[i].joiner.sin_addr.s_addr == from.sin_addr.s_addr)
                return static_cast<int>(i);
        }
        int fd = BoundSocket(0);
        if (fd < 0) return -1;
        flows_.push_back(Flow{from, fd});
        return static_cast<int>(flows_.size() - 1);
    }

    std::chrono::microseconds DelayOfOne() {
        long micros =
            1000L * s_.delayMs + static_cast<long>((Chance() * 2 - 1) * 1000.0 * s_.jitterMs);
        if (Chance() < s_.reorder) {
            ++counts_.reordered;
            micros += 500L * s_.delayMs;
        }
        return std::chrono::microseconds(micros);
    }

    void SendDue() {
        while (!queue_.empty() && queue_.begin()->first <= Clock::now()) {
            const Datagram& d = queue_.begin()->second;
            const Flow& flow = flows_[static_cast<std::size_t>(d.flow)];
            sockaddr_in to = d.toHost ? Loopback(s_.forwardPort) : flow.joiner;
            sendto(d.toHost ? flow.fd : joiner_, d.bytes.data(), d.bytes.size(), 0,
                   reinterpret_cast<sockaddr*>(&to), sizeof to);
            ++counts_.forwarded;
            queue_.erase(queue_.begin());
        }
    }

    void Wait() {
        int timeoutMs = 5;
        if (!queue_.empty()) {
            auto due =
                std::chrono::ceil<std::chrono::milliseconds>(queue_.begin()->first - Clock::now());
            timeoutMs = std::max(0, std::min(timeoutMs, static_cast<int>(due.count())));
        }
        std::vector<pollfd> fds{{joiner_, POLLIN, 0}};
        for (const Flow& flow : flows_)
            fds.push_back({flow.fd, POLLIN, 0});
        poll(fds.data(), fds.size(), timeoutMs);
    }

    void Cut() {
        cut_ = true;
        std::printf("CUT received %ld forwarded %ld dropped %ld duplicated %ld reordered %ld\n",
                    counts_.received, counts_.forwarded, counts_.dropped, counts_.duplicated,
                    counts_.reordered);
        std::fflush(stdout);
    }

    Settings s_;
    std::mt19937_64 random_;
    int joiner_ = -1;
    std::vector<Flow> flows_;
    std::multimap<Clock::time_point, Datagram> queue_;
    Counts counts_;
    bool cut_ = false;
    bool holding_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    Settings s;
    if (!Parse(argc, argv, s)) {
        std::fprintf(stderr, "bad_link_relay: --listen P --forward Q [options], see the source\n");
        return 2;
    }
    Relay relay(s);
    if (!relay.Open()) {
        std::perror("bad_link_relay");
        return 1;
    }
    std::printf(
        "RELAY listen %d forward %d delay %d+-%d ms drop %g duplicate %g reorder %g "
        "seed %u\n",
        s.listenPort, s.forwardPort, s.delayMs, s.jitterMs, s.drop, s.duplicate, s.reorder, s.seed);
    std::fflush(stdout);
    relay.Run();
}
