#include "AlsaService.h"

#include "AlsaEvents.h"
#include "MidiBytes.h"
#include "MidiStreamParser.h"

#include <alsa/asoundlib.h>

#include <array>
#include <atomic>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace korv::midi {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t Slots = 4; // slot 0 is the virtual port
// The default pool drops part of a 4,103-byte dump; the kernel's cap is 2000 cells.
constexpr std::size_t OutputPoolCells = 1000;

struct Address {
    int client = 0;
    int port = 0;
};

struct OutSlot {
    int port = -1; // our sequencer port
    bool inUse = false;
    bool connected = false;
    Address target;
};

struct InSlot {
    std::atomic<int> port{-1}; // read by the reader thread
    bool inUse = false;
    bool connected = false;
    Address source;
    std::mutex dispatch; // held by the reader thread while it calls the sink
    MidiInputSink* sink = nullptr;
    MidiStreamParser parser;
};

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

int openErrorFor(int alsaError) {
    return (alsaError == -ENOENT || alsaError == -ENXIO || alsaError == -EINVAL) ? OpenNoSuchDevice
                                                                                 : OpenRefused;
}

} // namespace

struct AlsaService::Impl {
    snd_seq_t* seq = nullptr;
    int clientId = -1;
    std::atomic<bool> stop{false};
    std::thread reader;
    // Everything that is not the reader's input: output, ports, subscriptions.
    std::mutex mutex;
    std::array<OutSlot, Slots> outs;
    std::array<InSlot, Slots> ins;

    ~Impl() {
        stop = true;
        if (reader.joinable())
            reader.join();
        if (seq)
            snd_seq_close(seq);
    }

    int createPort(const char* name, unsigned caps) {
        return snd_seq_create_simple_port(
            seq, name, caps, SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
    }

    // Reader thread: polls with a time-out so that a stop request is seen, then raises the
    // sink events of every received event in order.
    void run() {
        const int count = snd_seq_poll_descriptors_count(seq, POLLIN);
        std::vector<pollfd> fds(static_cast<std::size_t>(std::max(count, 1)));
        snd_seq_poll_descriptors(seq, fds.data(), static_cast<unsigned>(fds.size()), POLLIN);
        while (!stop.load(std::memory_order_acquire)) {
            if (poll(fds.data(), fds.size(), 100) <= 0)
                continue;
            for (;;) {
                snd_seq_event_t* ev = nullptr;
                const int r = snd_seq_event_input(seq, &ev);
                if (r == -EAGAIN || r == -EINTR)
                    break;
                if (r == -ENOSPC)
                    continue; // the kernel dropped events on overrun; go on with the rest
                if (r < 0 || !ev)
                    break;
                dispatch(*ev);
            }
        }
    }

    void dispatch(const snd_seq_event_t& ev) {
        for (auto& s : ins) {
            if (s.port != ev.dest.port)
                continue;
            std::lock_guard l(s.dispatch);
            if (s.sink)
                alsa::decodeEvent(ev, s.parser, *s.sink);
            return;
        }
    }

    bool send(int slot, snd_seq_event_t& ev, std::chrono::milliseconds timeout) {
        std::lock_guard l(mutex);
        snd_seq_ev_set_source(&ev, static_cast<unsigned char>(outs[slot].port));
        snd_seq_ev_set_subs(&ev);
        snd_seq_ev_set_direct(&ev);
        const auto end = Clock::now() + timeout;
        for (;;) {
            const int r = snd_seq_event_output_direct(seq, &ev);
            if (r >= 0)
                return true;
            if (r != -EAGAIN || Clock::now() >= end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    class Output : public MidiOutputConnection {
    public:
        Output(Impl& s, int slot)
            : s_(s)
            , slot_(slot) {}
        ~Output() override { s_.closeOutput(slot_); }
        void sendShort(const std::uint8_t* data, std::size_t length) override {
            snd_seq_event_t ev;
            snd_seq_ev_clear(&ev);
            if (alsa::encodeShort(data, length, ev) &&
                !s_.send(slot_, ev, std::chrono::milliseconds(1000)))
                lost_.fetch_add(1, std::memory_order_relaxed);
        }
        bool sendSysEx(const std::uint8_t* data, std::size_t length) override {
            snd_seq_event_t ev;
            snd_seq_ev_clear(&ev);
            alsa::encodeSysEx(data, length, ev);
            if (s_.send(slot_, ev, sysExTimeout(length)))
                return true;
            lost_.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        std::uint64_t lost() const override { return lost_.load(std::memory_order_relaxed); }
        void reset() override {
            // All notes off and controllers reset on every channel.
            for (std::uint8_t ch = 0; ch < 16; ++ch) {
                const std::uint8_t off[3] = {static_cast<std::uint8_t>(0xB0 | ch), 123, 0};
                const std::uint8_t rst[3] = {static_cast<std::uint8_t>(0xB0 | ch), 121, 0};
                sendShort(off, 3);
                sendShort(rst, 3);
            }
        }

    private:
        Impl& s_;
        int slot_;
        std::atomic<std::uint64_t> lost_{0};
    };

    class Input : public MidiInputConnection {
    public:
        Input(Impl& s, int slot)
            : s_(s)
            , slot_(slot) {}
        ~Input() override { s_.closeInput(slot_); }

    private:
        Impl& s_;
        int slot_;
    };

    std::unique_ptr<MidiOutputConnection> openOutputSlot(int slot, const Address* target,
                                                         int& error) {
        std::lock_guard l(mutex);
        OutSlot& s = outs[static_cast<std::size_t>(slot)];
        if (s.inUse) {
            error = OpenRefused;
            return nullptr;
        }
        if (s.port < 0) {
            const std::string name = "device out " + std::to_string(slot);
            s.port = createPort(name.c_str(), SND_SEQ_PORT_CAP_READ);
            if (s.port < 0) {
                error = OpenRefused;
                return nullptr;
            }
        }
        if (target) {
            const int r = snd_seq_connect_to(seq, s.port, target->client, target->port);
            if (r < 0) {
                error = openErrorFor(r);
                return nullptr;
            }
            s.target = *target;
            s.connected = true;
        }
        s.inUse = true;
        error = OpenOk;
        return std::make_unique<Output>(*this, slot);
    }

    void closeOutput(int slot) {
        std::lock_guard l(mutex);
        OutSlot& s = outs[static_cast<std::size_t>(slot)];
        snd_seq_drain_output(seq);
        if (s.connected)
            snd_seq_disconnect_to(seq, s.port, s.target.client, s.target.port);
        s.connected = false;
        s.inUse = false;
    }

    std::unique_ptr<MidiInputConnection> openInputSlot(int slot, const Address* source,
                                                       MidiInputSink& sink, int& error) {
        std::lock_guard l(mutex);
        InSlot& s = ins[static_cast<std::size_t>(slot)];
        if (s.inUse) {
            error = OpenRefused;
            return nullptr;
        }
        if (s.port < 0) {
            const std::string name = "device in " + std::to_string(slot);
            s.port = createPort(name.c_str(), SND_SEQ_PORT_CAP_WRITE);
            if (s.port < 0) {
                error = OpenRefused;
                return nullptr;
            }
        }
        {
            std::lock_guard dl(s.dispatch);
            s.sink = &sink;
            s.parser.reset();
        }
        if (source) {
            const int r = snd_seq_connect_from(seq, s.port, source->client, source->port);
            if (r < 0) {
                std::lock_guard dl(s.dispatch);
                s.sink = nullptr;
                error = openErrorFor(r);
                return nullptr;
            }
            s.source = *source;
            s.connected = true;
        }
        s.inUse = true;
        error = OpenOk;
        return std::make_unique<Input>(*this, slot);
    }

    void closeInput(int slot) {
        InSlot& s = ins[static_cast<std::size_t>(slot)];
        {
            std::unique_lock<std::mutex> dl;
            if (std::this_thread::get_id() != reader.get_id())
                dl = std::unique_lock(s.dispatch);
            s.sink = nullptr;
        }
        std::lock_guard l(mutex);
        if (s.connected)
            snd_seq_disconnect_from(seq, s.port, s.source.client, s.source.port);
        s.connected = false;
        s.inUse = false;
    }

    // Ports that other clients may subscribe to in the given direction, except our own and
    // the system client's timer and announce ports.
    std::vector<std::pair<std::string, Address>> listPorts(unsigned caps) {
        std::vector<std::pair<std::string, Address>> found;
        std::lock_guard l(mutex);
        snd_seq_client_info_t* cinfo;
        snd_seq_port_info_t* pinfo;
        snd_seq_client_info_alloca(&cinfo);
        snd_seq_port_info_alloca(&pinfo);
        snd_seq_client_info_set_client(cinfo, -1);
        while (snd_seq_query_next_client(seq, cinfo) >= 0) {
            const int client = snd_seq_client_info_get_client(cinfo);
            if (client == clientId || client == SND_SEQ_CLIENT_SYSTEM)
                continue;
            snd_seq_port_info_set_client(pinfo, client);
            snd_seq_port_info_set_port(pinfo, -1);
            while (snd_seq_query_next_port(seq, pinfo) >= 0) {
                const unsigned c = snd_seq_port_info_get_capability(pinfo);
                if ((c & caps) != caps || (c & SND_SEQ_PORT_CAP_NO_EXPORT))
                    continue;
                found.push_back({std::string(snd_seq_client_info_get_name(cinfo)) + ":" +
                                     snd_seq_port_info_get_name(pinfo),
                                 {client, snd_seq_port_info_get_port(pinfo)}});
            }
        }
        return found;
    }
};

std::unique_ptr<AlsaService> AlsaService::open(const std::string& clientName) {
    auto d = std::make_unique<Impl>();
    // A machine without a sequencer is normal: keep alsa-lib from printing about it.
    snd_lib_error_set_handler(quietAlsa);
    const int opened = snd_seq_open(&d->seq, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK);
    snd_lib_error_set_handler(nullptr);
    if (opened < 0) {
        d->seq = nullptr;
        return nullptr;
    }
    snd_seq_set_client_name(d->seq, clientName.c_str());
    snd_seq_set_client_pool_output(d->seq, OutputPoolCells);
    d->clientId = snd_seq_client_id(d->seq);
    d->outs[0].port = d->createPort("Out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ);
    d->ins[0].port = d->createPort("In", SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE);
    if (d->clientId < 0 || d->outs[0].port < 0 || d->ins[0].port < 0)
        return nullptr;
    d->reader = std::thread([p = d.get()] { p->run(); });
    return std::unique_ptr<AlsaService>(new AlsaService(std::move(d)));
}

AlsaService::AlsaService(std::unique_ptr<Impl> impl)
    : d(std::move(impl)) {}
AlsaService::~AlsaService() = default;

namespace {
std::vector<std::string> namesOf(const std::vector<std::pair<std::string, Address>>& list) {
    std::vector<std::string> names;
    for (const auto& p : list)
        names.push_back(p.first);
    return names;
}
} // namespace

std::vector<std::string> AlsaService::inputNames() {
    return namesOf(d->listPorts(SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ));
}

std::vector<std::string> AlsaService::outputNames() {
    return namesOf(d->listPorts(SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE));
}

namespace {
// The address of the port of that name now; false when it has gone.
bool find(const std::vector<std::pair<std::string, Address>>& list, const std::string& name,
          Address& found) {
    for (const auto& p : list) {
        if (p.first == name) {
            found = p.second;
            return true;
        }
    }
    return false;
}
} // namespace

std::unique_ptr<MidiInputConnection> AlsaService::openInput(const std::string& name,
                                                            MidiInputSink& sink, int& error) {
    Address source;
    if (!find(d->listPorts(SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ), name, source)) {
        error = OpenNoSuchDevice;
        return nullptr;
    }
    for (int slot = 1; slot < static_cast<int>(Slots); ++slot) {
        int e = OpenOk;
        if (auto c = d->openInputSlot(slot, &source, sink, e); c || e != OpenRefused) {
            error = e;
            return c;
        }
    }
    error = OpenRefused;
    return nullptr;
}

std::unique_ptr<MidiOutputConnection> AlsaService::openOutput(const std::string& name, int& error) {
    Address target;
    if (!find(d->listPorts(SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE), name, target)) {
        error = OpenNoSuchDevice;
        return nullptr;
    }
    for (int slot = 1; slot < static_cast<int>(Slots); ++slot) {
        int e = OpenOk;
        if (auto c = d->openOutputSlot(slot, &target, e); c || e != OpenRefused) {
            error = e;
            return c;
        }
    }
    error = OpenRefused;
    return nullptr;
}

std::unique_ptr<MidiInputConnection> AlsaService::openVirtualInput(MidiInputSink& sink,
                                                                   int& error) {
    return d->openInputSlot(0, nullptr, sink, error);
}

std::unique_ptr<MidiOutputConnection> AlsaService::openVirtualOutput(int& error) {
    return d->openOutputSlot(0, nullptr, error);
}

bool AlsaSequencerPresent() {
    // The sequencer is the kernel's /dev/snd/seq, or the device that loads its module on first
    // use. Without either, alsa-lib would read its whole configuration only to fail.
    return ::access("/dev/snd/seq", F_OK) == 0 || ::access("/dev/aloadSEQ", F_OK) == 0;
}

PlatformService makeAlsaService() {
    if (!AlsaSequencerPresent())
        return {};
    auto alsa = AlsaService::open();
    if (!alsa)
        return {};
    PlatformService p;
    p.provider = alsa.get();
    p.service = std::move(alsa);
    return p;
}

} // namespace korv::midi
