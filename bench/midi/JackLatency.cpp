// Time from TMidiOut::Put to the bytes arriving at a JACK client, on a private dummy-driver
// server with 64-frame periods. Prints p50/p99 in JACK periods (process cycles of the peer
// between the Put and the cycle that delivered the event).
#include "JackService.h"
#include "JackTestServer.h"
#include "TMidiOut.h"

#include <algorithm>
#include <cstdio>
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

    std::mt19937 rng(1);
    std::uniform_int_distribution<int> pause(300, 3000); // microseconds: every phase of a cycle
    std::vector<double> periods, frames;
    for (int i = 0; i < count; ++i) {
        const std::uint64_t before = peer.cycles();
        const jack_nframes_t frameAtPut = peer.frameTime();
        out.Put(0x90, static_cast<std::uint8_t>(i & 0x7F), 1);
        if (!peer.waitForBytes(static_cast<std::size_t>(i + 1) * 3)) {
            std::fprintf(stderr, "message %d lost\n", i);
            return 1;
        }
        const auto arrived = peer.events().back();
        periods.push_back(static_cast<double>(arrived.cycle - before));
        frames.push_back(
            static_cast<double>(static_cast<std::int32_t>(arrived.frame - frameAtPut)) /
            JackTestServer::PeriodFrames);
        std::this_thread::sleep_for(std::chrono::microseconds(pause(rng)));
    }
    auto pct = [](std::vector<double>& v, double p) {
        std::sort(v.begin(), v.end());
        return v[std::min(v.size() - 1, static_cast<std::size_t>(p * v.size()))];
    };
    const double c50 = pct(periods, 0.5), c99 = pct(periods, 0.99), cmax = periods.back();
    const double f50 = pct(frames, 0.5), f99 = pct(frames, 0.99), fmax = frames.back();
    std::printf(
        "Put -> JACK peer, %d messages, 64-frame periods:\n"
        "  whole cycles between Put and the delivering cycle: p50 %.0f, p99 %.0f, max %.0f\n"
        "  frame time of the delivering cycle after Put, in periods: p50 %.2f, p99 %.2f, "
        "max %.2f\n",
        count, c50, c99, cmax, f50, f99, fmax);
    return 0;
}
