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

struct InHeader {
    std::uint32_t slot;
    std::uint32_t generation;
    std::uint32_t size;
};

struct OutSlot {
    std::atomic<jack_port_t*> port{nullptr};
    std::atomic<bool> active{false};
    SpscRing ring{OutRingSize};
    std::mutex writer;  // serialises the threads that send on this slot
    bool inUse = false; // guarded by the service mutex
    std::string target;
};

struct InSlot {
    std::atomic<jack_port_t*> port{nullptr};
    std::atomic<bool> active{false};
    std::atomic<std::uint32_t> generation{0};
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
    std::array<OutSlot, Slots> outs;
    std::array<InSlot, Slots> ins;
    SpscRing inRing{InRingSize};
    sem_t wake;
    std::thread thread;
    std::vector<std::uint8_t> rxBuffer = std::vector<std::uint8_t>(MaxInEvent);

    std::mutex mutex; // slot ownership, port registration, name caches
    std::vector<std::string> lastInputs;
    std::vector<std::string> lastOutputs;

    ~Impl() {
        stop = true;
        if (thread.joinable()) {
            sem_post(&wake);
            thread.join();
        }
        if (client) {
            // Deactivating or closing a client whose server has gone fails at once.
            if (!dead)
                jack_deactivate(client);
            jack_client_close(client);
        }
        sem_destroy(&wake);
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
                    continue;
                }
                s.ring.skip(sizeof size);
                s.ring.read(dst, size);
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
        const auto end = Clock::now() + std::chrono::seconds(2);
        while (!dead.load(std::memory_order_acquire) &&
               cycles.load(std::memory_order_acquire) < start + 2 && Clock::now() < end)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
    }

    bool sendMessage(OutSlot& s, const std::uint8_t* data, std::size_t length,
                     std::chrono::milliseconds timeout) {
        if (length == 0 || length > OutRingSize / 2)
            return false;
        std::lock_guard l(s.writer);
        const auto size = static_cast<std::uint32_t>(length);
        const auto end = Clock::now() + timeout;
        while (s.ring.writeSpace() < sizeof size + size) {
            if (dead.load(std::memory_order_acquire) || Clock::now() >= end)
                return false;
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        if (dead.load(std::memory_order_acquire))
            return false;
        return s.ring.write(&size, sizeof size, data, size);
    }

    jack_port_t* ensurePort(std::atomic<jack_port_t*>& slotPort, const char* name,
                            unsigned long flags) {
        jack_port_t* port = slotPort.load(std::memory_order_acquire);
        if (!port) {
            port = jack_port_register(client, name, JACK_DEFAULT_MIDI_TYPE, flags, 0);
            slotPort.store(port, std::memory_order_release);
        }
        return port;
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
            s_.sendMessage(s_.outs[slot_], data, length, std::chrono::milliseconds(1000));
        }
        bool sendSysEx(const std::uint8_t* data, std::size_t length) override {
            return s_.sendMessage(s_.outs[slot_], data, length, sysExTimeout(length));
        }

    private:
        Impl& s_;
        std::size_t slot_;
    };

    class Input : public MidiInputConnection {
    public:
        Input(Impl& s, std::size_t slot)
            : s_(s)
            , slot_(slot) {}
        ~Input() override { s_.closeInput(slot_); }

    private:
        Impl& s_;
        std::size_t slot_;
    };

    std::unique_ptr<MidiOutputConnection> openOutputSlot(std::size_t slot,
                                                         const std::string& target, int& error) {
        std::lock_guard l(mutex);
        if (dead.load(std::memory_order_acquire)) {
            error = OpenServiceGone;
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
            error = OpenRefused;
            return nullptr;
        }
        if (!target.empty()) {
            const int r = jack_connect(client, jack_port_name(port), target.c_str());
            if (r != 0 && r != EEXIST) {
                error = jack_port_by_name(client, target.c_str()) ? OpenRefused : OpenNoSuchDevice;
                return nullptr;
            }
        }
        s.ring.reset(); // leftovers of a close that timed out
        s.inUse = true;
        s.target = target;
        s.active.store(true, std::memory_order_release);
        error = OpenOk;
        return std::make_unique<Output>(*this, slot);
    }

    void closeOutput(std::size_t slot) {
        OutSlot& s = outs[slot];
        {
            // What was handed over goes out before the port lets go.
            const auto end = Clock::now() + std::chrono::seconds(2);
            std::lock_guard w(s.writer);
            while (!dead.load(std::memory_order_acquire) && s.ring.readSpace() > 0 &&
                   Clock::now() < end)
                std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        s.active.store(false, std::memory_order_release);
        waitCycles();
        std::lock_guard l(mutex);
        if (!s.target.empty() && !dead.load(std::memory_order_acquire))
            jack_disconnect(client, jack_port_name(s.port.load()), s.target.c_str());
        s.target.clear();
        s.inUse = false;
    }

    std::unique_ptr<MidiInputConnection> openInputSlot(std::size_t slot, const std::string& source,
                                                       MidiInputSink& sink, int& error) {
        std::lock_guard l(mutex);
        if (dead.load(std::memory_order_acquire)) {
            error = OpenServiceGone;
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
            error = OpenRefused;
            return nullptr;
        }
        {
            std::lock_guard dl(s.dispatch);
            s.sink = &sink;
            s.parser.reset();
            s.generation.fetch_add(1, std::memory_order_acq_rel);
        }
        if (!source.empty()) {
            const int r = jack_connect(client, source.c_str(), jack_port_name(port));
            if (r != 0 && r != EEXIST) {
                std::lock_guard dl(s.dispatch);
                s.sink = nullptr;
                error = jack_port_by_name(client, source.c_str()) ? OpenRefused : OpenNoSuchDevice;
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
        if (!s.source.empty() && !dead.load(std::memory_order_acquire))
            jack_disconnect(client, s.source.c_str(), jack_port_name(s.port.load()));
        s.source.clear();
        s.inUse = false;
    }
};

std::unique_ptr<JackService> JackService::connect(const std::string& clientName) {
    auto d = std::make_unique<Impl>();
    sem_init(&d->wake, 0, 0);
    d->client = OpenJackClientWithin(clientName, JackNoStartServer, {}, std::chrono::seconds(10));
    if (!d->client)
        return nullptr;
    jack_set_process_callback(d->client, &Impl::process, d.get());
    jack_on_info_shutdown(d->client, &Impl::shutdown, d.get());
    // The virtual ports exist as long as the program runs, so others can connect to them.
    d->ensurePort(d->outs[0].port, "Out", JackPortIsOutput);
    d->ensurePort(d->ins[0].port, "In", JackPortIsInput);
    if (jack_activate(d->client) != 0)
        return nullptr;
    d->thread = std::thread([p = d.get()] { p->run(); });
    return std::unique_ptr<JackService>(new JackService(std::move(d)));
}

JackService::JackService(std::unique_ptr<Impl> impl)
    : d(std::move(impl)) {}
JackService::~JackService() = default;

std::vector<std::string> JackService::inputNames() {
    auto names = d->otherPorts(JackPortIsOutput);
    std::lock_guard l(d->mutex);
    d->lastInputs = names;
    return names;
}

std::vector<std::string> JackService::outputNames() {
    auto names = d->otherPorts(JackPortIsInput);
    std::lock_guard l(d->mutex);
    d->lastOutputs = names;
    return names;
}

std::unique_ptr<MidiInputConnection> JackService::openInput(std::size_t index, MidiInputSink& sink,
                                                            int& error) {
    std::string source;
    {
        std::lock_guard l(d->mutex);
        if (index >= d->lastInputs.size()) {
            error = OpenNoSuchDevice;
            return nullptr;
        }
        source = d->lastInputs[index];
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

std::unique_ptr<MidiOutputConnection> JackService::openOutput(std::size_t index, int& error) {
    std::string target;
    {
        std::lock_guard l(d->mutex);
        if (index >= d->lastOutputs.size()) {
            error = OpenNoSuchDevice;
            return nullptr;
        }
        target = d->lastOutputs[index];
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
    jack_set_error_function([](const char*) {}); // a missing server is normal, not an error
    auto jack = JackService::connect();
    if (!jack)
        return {};
    PlatformService p;
    p.provider = jack.get();
    p.service = std::move(jack);
    return p;
}

} // namespace korv::midi
