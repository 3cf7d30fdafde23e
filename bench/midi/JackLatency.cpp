// Time from TMidiOut::Put to the bytes arriving at a JACK client, on a private dummy-driver
// server with 64-frame periods. Prints p50/p99 in JACK periods (process cycles of the peer
// between the Put and the cycle that delivered the event).
#include "JackService.h"
#include "JackTestServer.h"
#include "TMidiOut.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <random>
#include <thread>

using namespace korv::midi;
using korv::test::JackPeer;
using korv::test::JackTestServer;

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    JackTestServer server;
    JackPeer peer(server);
    auto jack = JackService::connect();
    for (int i = 0; i < 100 && !jack; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        jack = JackService::connect();
    }
    if (!jack) {
        std::fprintf(stderr, "no JACK service\n");
        return 1;
    }
    auto virt = makeVirtualService({jack.get()});
    MidiSystem system({virt.get()});
    TMidiOut out(system);
    out.SetUsing(true);
    peer.connect(jack->virtualOutputPort(), peer.inPort());
    if (!peer.waitConnected(peer.inPort())) {
        std::fprintf(stderr, "no connection\n");
        return 1;
    }

    const double sampleRate = jack_get_sample_rate(peer.client());
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> pause(300, 3000); // microseconds: every phase of a cycle
    std::vector<double> periods, micros;
    for (int i = 0; i < count; ++i) {
        const std::uint64_t before = peer.cycles();
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        const std::int64_t putNs = std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
        out.Put(0x90, static_cast<std::uint8_t>(i & 0x7F), 1);
        if (!peer.waitForBytes(static_cast<std::size_t>(i + 1) * 3)) {
            std::fprintf(stderr, "message %d lost\n", i);
            return 1;
        }
        const auto arrived = peer.events().back();
        periods.push_back(static_cast<double>(arrived.cycle - before));
        micros.push_back(static_cast<double>(arrived.receivedNs - putNs) / 1000.0);
        std::this_thread::sleep_for(std::chrono::microseconds(pause(rng)));
    }
    auto pct = [](std::vector<double>& v, double p) {
        std::sort(v.begin(), v.end());
        return v[std::min(v.size() - 1, static_cast<std::size_t>(p * v.size()))];
    };
    const double c50 = pct(periods, 0.5), c99 = pct(periods, 0.99), cmax = periods.back();
    const double u50 = pct(micros, 0.5), u99 = pct(micros, 0.99), umax = micros.back();
    const double period = JackTestServer::PeriodFrames * 1e6 / sampleRate;
    std::printf(
        "Put -> JACK peer, %d messages, 64-frame periods of %.0f us:\n"
        "  whole cycles between Put and the delivering cycle: p50 %.0f, p99 %.0f, max %.0f\n"
        "  Put to the start of the delivering cycle: p50 %.0f us (%.2f periods), p99 %.0f us "
        "(%.2f periods), max %.0f us\n",
        count, period, c50, c99, cmax, u50, u50 / period, u99, u99 / period, umax);
    return 0;
}
