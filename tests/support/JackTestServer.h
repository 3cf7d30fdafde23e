// A private JACK server for integration tests, and a peer client that plays the other program.
//
//   korv::test::JackTestServer server;         // jackd -S -d dummy -p 64, own name
//   korv::test::JackPeer peer(server);         // ports "<client>:in" and "<client>:out"
//   peer.connect("Virtual Korvanette:Out", peer.inPort());
//   ASSERT_TRUE(peer.waitConnected(peer.inPort()));   // bytes sent earlier would be lost
//   ...send...
//   ASSERT_TRUE(peer.waitForBytes(3));
//
// The server runs synchronously (-S): a client that is late on a loaded machine delays the
// cycle instead of being skipped, which would drop the MIDI events of that cycle.
// Servers are named "korvtest-0" to "korvtest-5", each name held by one test process at a time,
// so up to six tests can run in parallel. The server sets JACK_DEFAULT_SERVER for this process, so
// every JACK client opened afterwards (the program's service included) finds it. It is stopped and
// reaped in the destructor, which also runs when a test fails; if the test process dies, the server
// dies with it.
#pragma once

#include <jack/jack.h>

#include "SpscRing.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

namespace korv::test {

class JackTestServer {
public:
    static constexpr std::uint32_t PeriodFrames = 64;

    // Starts the server and waits until it accepts clients; throws std::runtime_error if it
    // does not come up within `startTimeout`.
    explicit JackTestServer(std::chrono::milliseconds startTimeout = std::chrono::seconds(30));
    ~JackTestServer();
    JackTestServer(const JackTestServer&) = delete;
    JackTestServer& operator=(const JackTestServer&) = delete;

    const std::string& name() const { return name_; }
    bool running() const { return pid_ > 0; }
    // Kills the server at once (SIGKILL) and reaps it: clients see it die.
    void kill();
    // Stops and continues the server process (SIGSTOP, SIGCONT): a server that no longer
    // answers, without dying.
    void freeze();
    void thaw();

private:
    bool start(std::chrono::milliseconds timeout, std::string& failureLog);
    void stop(int signal);
    int lockFd_ = -1; // holds the name
    std::string name_;
    pid_t pid_ = -1;
};

// A JACK client with one MIDI input ("in") and one MIDI output ("out"). Records every event it
// receives with its frame time and the number of the process cycle it came in.
class JackPeer {
public:
    struct Event {
        std::vector<std::uint8_t> bytes;
        jack_nframes_t frame = 0;    // absolute frame time of the event
        std::uint64_t cycle = 0;     // process cycles since the peer was activated
        std::int64_t receivedNs = 0; // CLOCK_MONOTONIC at the start of its process cycle
    };

    explicit JackPeer(const JackTestServer& server, const std::string& clientName = "peer");
    ~JackPeer();
    JackPeer(const JackPeer&) = delete;
    JackPeer& operator=(const JackPeer&) = delete;

    std::string inPort() const;  // full name, e.g. "peer:in"
    std::string outPort() const; // full name, e.g. "peer:out"
    jack_client_t* client() const { return client_; }

    // All MIDI ports of the server with the given flags (JackPortIsInput/JackPortIsOutput).
    std::vector<std::string> midiPorts(unsigned long flags) const;
    bool connect(const std::string& source, const std::string& destination);
    bool disconnect(const std::string& source, const std::string& destination);
    // Waits until `port` has at least one connection, or until `a` is connected to `b`.
    bool waitConnected(const std::string& port,
                       std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    bool waitConnected(const std::string& a, const std::string& b,
                       std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;
    // Waits until a port of that name exists.
    bool waitPort(const std::string& port,
                  std::chrono::milliseconds timeout = std::chrono::seconds(20)) const;

    // Queues `bytes` as one MIDI event on "out", written in the next process cycle.
    bool send(const std::vector<std::uint8_t>& bytes);
    // Frame time now, and the number of process cycles run so far.
    jack_nframes_t frameTime() const;
    std::uint64_t cycles() const { return cycle_.load(std::memory_order_acquire); }

    std::vector<Event> events();
    std::vector<std::uint8_t> receivedBytes();
    std::size_t receivedCount();
    void clear();
    // Polls until at least `count` bytes have arrived.
    bool waitForBytes(std::size_t count,
                      std::chrono::milliseconds timeout = std::chrono::seconds(20));
    std::uint64_t dropped() const { return dropped_.load(); }

private:
    static int process(jack_nframes_t frames, void* arg);
    void drain();

    jack_client_t* client_ = nullptr;
    jack_port_t* in_ = nullptr;
    jack_port_t* out_ = nullptr;
    korv::midi::SpscRing rxRing_{1 << 20};
    korv::midi::SpscRing txRing_{1 << 18};
    std::atomic<std::uint64_t> cycle_{0};
    std::atomic<std::uint64_t> dropped_{0};
    std::mutex mutex_; // events_, tx writer
    std::vector<Event> events_;
    std::size_t receivedBytes_ = 0; // of events_, kept so that polling the count stays cheap
};

} // namespace korv::test
