#include "JackService.h"

#include "JackClientOpen.h"
#include "JackCycleOrder.h"
#include "MidiBytes.h"
#include "MidiStreamParser.h"
#include "SpscRing.h"

#include <jack/jack.h>
#include <jack/midiport.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <functional>
#include <mutex>
#include <semaphore.h>
#include <thread>

namespace korv::midi {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t Slots = 4;             // slot 0 is the virtual port
constexpr std::size_t OutRingSize = 1 << 16; // a whole dump fits many times
constexpr std::size_t InRingSize = 1 << 18;
constexpr std::size_t MaxInEvent = 1 << 16;
// How long a call that waits on the server may take before the server counts as stuck, and how
// long without a process cycle means the same.
constexpr auto ServerCallLimit = std::chrono::milliseconds(1000);
constexpr auto CycleSilenceLimit = std::chrono::milliseconds(1000);
constexpr auto DrainLimit = std::chrono::seconds(2);
// Longer than the few cycles after which the client's copy of the port graph shows a change.
constexpr std::int64_t GraphSettleNs = 200'000'000;

std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
        .count();
}

struct InHeader {
    std::uint32_t slot;
    std::uint32_t generation;
    std::uint32_t size;
};

struct OutSlot {
    std::atomic<jack_port_t*> port{nullptr};
    std::atomic<bool> active{false};
    SpscRing ring{OutRingSize};
    std::mutex writer;                     // serialises the threads that send on this slot
    std::uint64_t written = 0;             // messages put in the ring; guarded by writer
    std::atomic<std::uint64_t> taken{0};   // messages the process callback took out
    std::atomic<std::uint64_t> dropped{0}; // messages that never went out
    bool inUse = false;                    // guarded by the service mutex
    std::string target;
};

struct InSlot {
    std::atomic<jack_port_t*> port{nullptr};
    std::atomic<bool> active{false};
    std::atomic<std::uint32_t> generation{0};
    std::atomic<std::uint64_t> dropped{0}; // events the receive ring had no room for
    // Held by the service thread while it calls the sink: closing waits for it.
    std::mutex dispatch;
    MidiInputSink* sink = nullptr; // guarded by dispatch
    MidiStreamParser parser;       // used under dispatch
    bool inUse = false;            // guarded by the service mutex
    std::string source;
};

} // namespace

struct JackService::Impl {
    jack_client_t* client = nullptr;
    std::atomic<bool> dead{false};
    std::atomic<bool> stop{false};
    std::atomic<std::uint64_t> cycles{0};
    std::atomic<std::uint64_t> droppedIn{0};
    std::atomic<std::uint64_t> droppedOut{0};
    std::atomic<std::int64_t> lastCycleSeen{0}; // nowNs() when the cycle count last moved
    JackServerCalls calls;
    std::array<OutSlot, Slots> outs;
    std::array<InSlot, Slots> ins;
    SpscRing inRing{InRingSize};
    sem_t wake;
    std::thread thread;
    std::vector<std::uint8_t> rxBuffer = std::vector<std::uint8_t>(MaxInEvent);

    std::mutex mutex; // slot ownership, port registration, connections

    ~Impl() {
        stopThread();
        if (client) {
            // Deactivating or closing a client whose server has gone fails at once.
            if (!dead)
                jack_deactivate(client);
            jack_client_close(client);
        }
        sem_destroy(&wake);
    }

    void stopThread() {
        stop = true;
        if (thread.joinable()) {
            sem_post(&wake);
            thread.join();
        }
    }

    // Closes the client on a thread of its own, after every call still waiting on the server,
    // and frees the service then; waits for that a bounded time only.
    static void dispose(std::unique_ptr<Impl> d) {
        d->stopThread();
        JackServerCalls closer;
        closer.run(
            [impl = d.release()] {
                impl->calls.waitLate();
                delete impl;
            },
            ServerCallLimit);
    }

    // The server is gone or does not answer: nothing may wait on it now.
    bool stalled() const {
        return dead.load(std::memory_order_acquire) || calls.anyLate() ||
               nowNs() - lastCycleSeen.load(std::memory_order_acquire) >
                   std::chrono::nanoseconds(CycleSilenceLimit).count();
    }

    // A call that waits on the server, with the time limit; false when it did not finish.
    bool callServer(std::function<int()> call, int& result) {
        auto r = std::make_shared<std::atomic<int>>(-1);
        const bool finished =
            calls.run([call = std::move(call), r] { r->store(call()); }, ServerCallLimit);
        result = r->load();
        return finished;
    }

    // Real-time thread: moves bytes between the rings and the port buffers, nothing else.
    static int process(jack_nframes_t frames, void* arg) {
        auto* self = static_cast<Impl*>(arg);
        jackCycleBegin();
        bool received = false;
        for (auto& s : self->outs) {
            jack_port_t* port = s.port.load(std::memory_order_acquire);
            if (!port)
                continue;
            void* buf = jack_port_get_buffer(port, frames);
            jack_midi_clear_buffer(buf);
            if (!s.active.load(std::memory_order_acquire))
                continue;
            std::uint32_t size = 0;
            while (s.ring.peek(&size, sizeof size) && s.ring.readSpace() >= sizeof size + size) {
                jack_midi_data_t* dst = jack_midi_event_reserve(buf, 0, size);
                if (!dst) {
                    if (jack_midi_get_event_count(buf) > 0)
                        break; // full for this cycle: the rest goes in the next one
                    // Larger than any port buffer: it can never go out.
                    s.ring.skip(sizeof size + size);
                    self->droppedOut.fetch_add(1, std::memory_order_relaxed);
                    s.dropped.fetch_add(1, std::memory_order_relaxed);
                    s.taken.fetch_add(1, std::memory_order_release);
                    continue;
                }
                s.ring.skip(sizeof size);
                s.ring.read(dst, size);
                s.taken.fetch_add(1, std::memory_order_release);
            }
        }
        for (std::uint32_t i = 0; i < Slots; ++i) {
            auto& s = self->ins[i];
            jack_port_t* port = s.port.load(std::memory_order_acquire);
            if (!port || !s.active.load(std::memory_order_acquire))
                continue;
            void* buf = jack_port_get_buffer(port, frames);
            const jack_nframes_t count = jack_midi_get_event_count(buf);
            const std::uint32_t gen = s.generation.load(std::memory_order_acquire);
            for (jack_nframes_t e = 0; e < count; ++e) {
                jack_midi_event_t ev;
                if (jack_midi_event_get(&ev, buf, e) != 0 || ev.size == 0)
                    continue;
                const InHeader h{i, gen, static_cast<std::uint32_t>(ev.size)};
                if (ev.size > MaxInEvent || !self->inRing.write(&h, sizeof h, ev.buffer, ev.size)) {
                    self->droppedIn.fetch_add(1, std::memory_order_relaxed);
                    s.dropped.fetch_add(1, std::memory_order_relaxed);
                    continue;
                }
                received = true;
            }
        }
        self->cycles.fetch_add(1, std::memory_order_release);
        if (received)
            sem_post(&self->wake);
        jackCycleEnd();
        return 0;
    }

    // Only sets a flag: the client's ports are unusable from now on.
    static void shutdown(jack_status_t, const char*, void* arg) {
        auto* self = static_cast<Impl*>(arg);
        self->dead.store(true, std::memory_order_release);
        sem_post(&self->wake);
    }

    // Service thread: raises the sink events, one at a time, in arrival order.
    void run() {
        std::uint64_t seen = cycles.load(std::memory_order_acquire);
        while (!stop.load(std::memory_order_acquire)) {
            timespec deadline{};
            clock_gettime(CLOCK_REALTIME, &deadline);
            deadline.tv_nsec += 100'000'000;
            if (deadline.tv_nsec >= 1'000'000'000) {
                deadline.tv_nsec -= 1'000'000'000;
                ++deadline.tv_sec;
            }
            sem_timedwait(&wake, &deadline);
            drainInput();
            if (const auto c = cycles.load(std::memory_order_acquire); c != seen) {
                seen = c;
                lastCycleSeen.store(nowNs(), std::memory_order_release);
            }
        }
    }

    void drainInput() {
        InHeader h{};
        while (inRing.peek(&h, sizeof h) && inRing.readSpace() >= sizeof h + h.size) {
            inRing.skip(sizeof h);
            inRing.read(rxBuffer.data(), h.size);
            InSlot& s = ins[h.slot];
            std::lock_guard l(s.dispatch);
            if (s.sink && s.generation.load(std::memory_order_relaxed) == h.generation)
                s.parser.feed(rxBuffer.data(), h.size, *s.sink);
        }
    }

    // Waits until the process callback has run twice, so it no longer touches what was
    // switched off before; gives up when the server is gone or stuck.
    void waitCycles() {
        const std::uint64_t start = cycles.load(std::memory_order_acquire);
        const auto end = Clock::now() + DrainLimit;
        while (!stalled() && cycles.load(std::memory_order_acquire) < start + 2 &&
               Clock::now() < end)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
    }

    // Never waits: what the ring cannot take now is counted as lost, so that no sender (and no
    // lock it holds) hangs on a server that has stopped taking bytes.
    bool sendMessage(OutSlot& s, const std::uint8_t* data, std::size_t length) {
        std::lock_guard l(s.writer);
        const auto size = static_cast<std::uint32_t>(length);
        if (length == 0 || length > OutRingSize / 2 || dead.load(std::memory_order_acquire) ||
            !s.ring.write(&size, sizeof size, data, size)) {
            s.dropped.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        ++s.written;
        return true;
    }

    // Waits, a bounded time, until the process callback has taken every message handed over;
    // returns the messages left behind.
    std::uint64_t drainOutput(OutSlot& s) {
        std::uint64_t written;
        {
            std::lock_guard w(s.writer);
            written = s.written;
        }
        const auto end = Clock::now() + DrainLimit;
        while (s.taken.load(std::memory_order_acquire) < written && !stalled() &&
               Clock::now() < end)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        return written - s.taken.load(std::memory_order_acquire);
    }

    jack_port_t* ensurePort(std::atomic<jack_port_t*>& slotPort, const char* name,
                            unsigned long flags) {
        jack_port_t* port = slotPort.load(std::memory_order_acquire);
        if (port)
            return port;
        auto registered = std::make_shared<std::atomic<jack_port_t*>>(nullptr);
        calls.run(
            [c = client, n = std::string(name), flags, registered] {
                registered->store(
                    jack_port_register(c, n.c_str(), JACK_DEFAULT_MIDI_TYPE, flags, 0));
            },
            ServerCallLimit);
        port = registered->load();
        if (!port) {
            // A registration given up on earlier may have finished since.
            const std::string full = std::string(jack_get_client_name(client)) + ":" + name;
            port = jack_port_by_name(client, full.c_str());
            if (port && !jack_port_is_mine(client, port))
                port = nullptr;
        }
        slotPort.store(port, std::memory_order_release);
        return port;
    }

    // Drops connections a close could not undo (the server did not answer then).
    bool disconnectAll(jack_port_t* port) {
        int r = 0;
        return jack_port_connected(port) == 0 ||
               callServer([c = client, port] { return jack_port_disconnect(c, port); }, r);
    }

    // A MIDI port of another client, of the given direction, that exists now.
    bool otherPortExists(const std::string& name, unsigned long flags) {
        jack_port_t* port = jack_port_by_name(client, name.c_str());
        return port && !jack_port_is_mine(client, port) && (jack_port_flags(port) & flags) &&
               std::string(jack_port_type(port)) == JACK_DEFAULT_MIDI_TYPE;
    }

    // How a port of ours stands with `peer` (or, for a virtual port, with anyone). Reads only
    // the client's copy of the port graph, so it never waits on the server. That copy follows
    // the server's a cycle later: a connection made at `openedNs` counts as undone only once
    // that has passed, and a virtual port's only after one was seen.
    Link linkOf(jack_port_t* port, const std::string& peer, unsigned long peerFlags,
                std::int64_t openedNs, bool& everConnected) {
        if (!port || stalled())
            return Link::Fine;
        if (!peer.empty() && !otherPortExists(peer, peerFlags))
            return Link::PeerGone;
        const bool connected = peer.empty() ? jack_port_connected(port) > 0
                                            : jack_port_connected_to(port, peer.c_str()) != 0;
        if (connected || (!peer.empty() && nowNs() - openedNs > GraphSettleNs))
            everConnected = true;
        return connected || !everConnected ? Link::Fine : Link::Disconnected;
    }

    std::vector<std::string> otherPorts(unsigned long flags) {
        std::vector<std::string> names;
        if (dead.load(std::memory_order_acquire))
            return names;
        if (const char** ports = jack_get_ports(client, nullptr, JACK_DEFAULT_MIDI_TYPE, flags)) {
            for (const char** p = ports; *p; ++p) {
                jack_port_t* port = jack_port_by_name(client, *p);
                if (port && !jack_port_is_mine(client, port))
                    names.emplace_back(*p);
            }
            jack_free(ports);
        }
        return names;
    }

    class Output : public MidiOutputConnection {
    public:
        Output(Impl& s, std::size_t slot)
            : s_(s)
            , slot_(slot) {}
        ~Output() override { s_.closeOutput(slot_); }
        void sendShort(const std::uint8_t* data, std::size_t length) override {
            s_.sendMessage(s_.outs[slot_], data, length);
        }
        bool sendSysEx(const std::uint8_t* data, std::size_t length) override {
            return s_.sendMessage(s_.outs[slot_], data, length);
        }
        std::uint64_t lost() const override {
            return s_.outs[slot_].dropped.load(std::memory_order_relaxed);
        }
        std::uint64_t drain() override { return s_.drainOutput(s_.outs[slot_]); }
        Link link() const override {
            const OutSlot& o = s_.outs[slot_];
            return s_.linkOf(o.port.load(), o.target, JackPortIsInput, openedNs_, everConnected_);
        }

    private:
        Impl& s_;
        std::size_t slot_;
        const std::int64_t openedNs_ = nowNs();
        mutable bool everConnected_ = false;
    };

    class Input : public MidiInputConnection {
    public:
        Input(Impl& s, std::size_t slot)
            : s_(s)
            , slot_(slot) {}
        ~Input() override { s_.closeInput(slot_); }
        std::uint64_t lost() const override {
            return s_.ins[slot_].dropped.load(std::memory_order_relaxed);
        }
        Link link() const override {
            const InSlot& i = s_.ins[slot_];
            return s_.linkOf(i.port.load(), i.source, JackPortIsOutput, openedNs_, everConnected_);
        }

    private:
        Impl& s_;
        std::size_t slot_;
        const std::int64_t openedNs_ = nowNs();
        mutable bool everConnected_ = false;
    };

    std::unique_ptr<MidiOutputConnection> openOutputSlot(std::size_t slot,
                                                         const std::string& target, int& error) {
        std::lock_guard l(mutex);
        if (const int e = unusable()) {
            error = e;
            return nullptr;
        }
        OutSlot& s = outs[slot];
        if (s.inUse) {
            error = OpenRefused;
            return nullptr;
        }
        const std::string name = "to device " + std::to_string(slot);
        jack_port_t* port = ensurePort(s.port, slot == 0 ? "Out" : name.c_str(), JackPortIsOutput);
        if (!port) {
            error = calls.anyLate() ? OpenNoAnswer : OpenRefused;
            return nullptr;
        }
        if (!target.empty()) {
            if (!disconnectAll(port)) {
                error = OpenNoAnswer;
                return nullptr;
            }
            int r = 0;
            if (!callServer([c = client, from = std::string(jack_port_name(port)),
                             target] { return jack_connect(c, from.c_str(), target.c_str()); },
                            r)) {
                error = OpenNoAnswer;
                return nullptr;
            }
            if (r != 0 && r != EEXIST) {
                error = jack_port_by_name(client, target.c_str()) ? OpenRefused : OpenNoSuchDevice;
                return nullptr;
            }
        }
        s.ring.reset(); // leftovers of a close that timed out
        s.written = 0;
        s.taken.store(0, std::memory_order_relaxed);
        s.dropped.store(0, std::memory_order_relaxed);
        s.inUse = true;
        s.target = target;
        s.active.store(true, std::memory_order_release);
        error = OpenOk;
        return std::make_unique<Output>(*this, slot);
    }

    void closeOutput(std::size_t slot) {
        OutSlot& s = outs[slot];
        s.active.store(false, std::memory_order_release);
        waitCycles();
        std::lock_guard l(mutex);
        // When the server does not answer, the next open of the slot drops the connection.
        if (!s.target.empty() && !stalled()) {
            int r = 0;
            callServer([c = client, from = std::string(jack_port_name(s.port.load())),
                        to = s.target] { return jack_disconnect(c, from.c_str(), to.c_str()); },
                       r);
        }
        s.target.clear();
        s.inUse = false;
    }

    // Why nothing can be opened now, or 0.
    int unusable() const {
        if (dead.load(std::memory_order_acquire))
            return OpenServiceGone;
        return stalled() ? OpenNoAnswer : OpenOk;
    }

    std::unique_ptr<MidiInputConnection> openInputSlot(std::size_t slot, const std::string& source,
                                                       MidiInputSink& sink, int& error) {
        std::lock_guard l(mutex);
        if (const int e = unusable()) {
            error = e;
            return nullptr;
        }
        InSlot& s = ins[slot];
        if (s.inUse) {
            error = OpenRefused;
            return nullptr;
        }
        const std::string name = "from device " + std::to_string(slot);
        jack_port_t* port = ensurePort(s.port, slot == 0 ? "In" : name.c_str(), JackPortIsInput);
        if (!port) {
            error = calls.anyLate() ? OpenNoAnswer : OpenRefused;
            return nullptr;
        }
        if (!source.empty() && !disconnectAll(port)) {
            error = OpenNoAnswer;
            return nullptr;
        }
        {
            std::lock_guard dl(s.dispatch);
            s.sink = &sink;
            s.parser.reset();
            s.dropped.store(0, std::memory_order_relaxed);
            s.generation.fetch_add(1, std::memory_order_acq_rel);
        }
        if (!source.empty()) {
            int r = 0;
            const bool answered = callServer(
                [c = client, source, to = std::string(jack_port_name(port))] {
                    return jack_connect(c, source.c_str(), to.c_str());
                },
                r);
            if (!answered || (r != 0 && r != EEXIST)) {
                std::lock_guard dl(s.dispatch);
                s.sink = nullptr;
                error = !answered                                   ? OpenNoAnswer
                        : jack_port_by_name(client, source.c_str()) ? OpenRefused
                                                                    : OpenNoSuchDevice;
                return nullptr;
            }
        }
        s.inUse = true;
        s.source = source;
        s.active.store(true, std::memory_order_release);
        error = OpenOk;
        return std::make_unique<Input>(*this, slot);
    }

    void closeInput(std::size_t slot) {
        InSlot& s = ins[slot];
        s.active.store(false, std::memory_order_release);
        {
            // A handler may close its own port from the service thread.
            std::unique_lock<std::mutex> dl;
            if (std::this_thread::get_id() != thread.get_id())
                dl = std::unique_lock(s.dispatch);
            s.sink = nullptr;
            s.generation.fetch_add(1, std::memory_order_acq_rel);
        }
        std::lock_guard l(mutex);
        if (!s.source.empty() && !stalled()) {
            int r = 0;
            callServer(
                [c = client, from = s.source, to = std::string(jack_port_name(s.port.load()))] {
                    return jack_disconnect(c, from.c_str(), to.c_str());
                },
                r);
        }
        s.source.clear();
        s.inUse = false;
    }
};

std::unique_ptr<JackService> JackService::connect(const std::string& clientName,
                                                  const std::string& serverName) {
    const std::string server = serverName.empty() ? DefaultJackServerName() : serverName;
    // Without a server libjack is not touched at all: a user of ALSA alone must not depend on
    // JACK's shared files, which a client killed at the wrong moment can leave damaged.
    if (!JackServerRunning(server))
        return nullptr;
    auto d = std::make_unique<Impl>();
    sem_init(&d->wake, 0, 0);
    d->client =
        OpenJackClientWithin(clientName, JackNoStartServer, server, std::chrono::seconds(10));
    if (!d->client)
        return nullptr;
    jack_set_process_callback(d->client, &Impl::process, d.get());
    jack_on_info_shutdown(d->client, &Impl::shutdown, d.get());
    // The virtual ports exist as long as the program runs, so others can connect to them.
    int activated = -1;
    if (!d->ensurePort(d->outs[0].port, "Out", JackPortIsOutput) ||
        !d->ensurePort(d->ins[0].port, "In", JackPortIsInput) ||
        !d->callServer([c = d->client] { return jack_activate(c); }, activated) || activated != 0) {
        Impl::dispose(std::move(d));
        return nullptr;
    }
    d->lastCycleSeen.store(nowNs(), std::memory_order_release);
    d->thread = std::thread([p = d.get()] { p->run(); });
    return std::unique_ptr<JackService>(new JackService(std::move(d)));
}

JackService::JackService(std::unique_ptr<Impl> impl)
    : d(std::move(impl)) {}

JackService::~JackService() {
    Impl::dispose(std::move(d));
}

std::vector<std::string> JackService::inputNames() {
    return d->otherPorts(JackPortIsOutput);
}

std::vector<std::string> JackService::outputNames() {
    return d->otherPorts(JackPortIsInput);
}

std::unique_ptr<MidiInputConnection> JackService::openInput(const std::string& source,
                                                            MidiInputSink& sink, int& error) {
    if (!d->otherPortExists(source, JackPortIsOutput)) {
        error = d->dead ? OpenServiceGone : OpenNoSuchDevice;
        return nullptr;
    }
    for (std::size_t slot = 1; slot < Slots; ++slot) {
        int e = OpenOk;
        if (auto c = d->openInputSlot(slot, source, sink, e); c || e != OpenRefused) {
            error = e;
            return c;
        }
    }
    error = OpenRefused;
    return nullptr;
}

std::unique_ptr<MidiOutputConnection> JackService::openOutput(const std::string& target,
                                                              int& error) {
    if (!d->otherPortExists(target, JackPortIsInput)) {
        error = d->dead ? OpenServiceGone : OpenNoSuchDevice;
        return nullptr;
    }
    for (std::size_t slot = 1; slot < Slots; ++slot) {
        int e = OpenOk;
        if (auto c = d->openOutputSlot(slot, target, e); c || e != OpenRefused) {
            error = e;
            return c;
        }
    }
    error = OpenRefused;
    return nullptr;
}

std::unique_ptr<MidiInputConnection> JackService::openVirtualInput(MidiInputSink& sink,
                                                                   int& error) {
    return d->openInputSlot(0, {}, sink, error);
}

std::unique_ptr<MidiOutputConnection> JackService::openVirtualOutput(int& error) {
    return d->openOutputSlot(0, {}, error);
}

std::string JackService::virtualOutputPort() const {
    return jack_port_name(d->outs[0].port.load());
}
std::string JackService::virtualInputPort() const {
    return jack_port_name(d->ins[0].port.load());
}
bool JackService::alive() const {
    return !d->dead.load();
}
std::uint64_t JackService::droppedInput() const {
    return d->droppedIn.load();
}
std::uint64_t JackService::droppedOutput() const {
    return d->droppedOut.load();
}

PlatformService makeJackService() {
    if (!JackServerRunning(DefaultJackServerName()))
        return {};
    jack_set_error_function([](const char*) {}); // a server going away is not our error
    auto jack = JackService::connect();
    if (!jack)
        return {};
    PlatformService p;
    p.provider = jack.get();
    p.service = std::move(jack);
    return p;
}

} // namespace korv::midi
