#include "TMidiIn.h"

#include "MidiBytes.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>

namespace korv::midi {

struct TMidiIn::Impl : MidiInputSink {
    static constexpr std::size_t BufferSize = 128;

    explicit Impl(TMidiIn& owner, const MidiSystem& system)
        : self(owner)
        , devices(system.inputs()) {}

    TMidiIn& self;
    const std::vector<MidiSystem::Device> devices; // taken once
    std::unique_ptr<MidiInputConnection> connection;
    bool usingPort = false;
    int port = 0;
    int openResult = 0;
    int closeResult = 0;
    std::uint64_t lostEarlier = 0; // by connections closed before
    std::atomic<bool> useShort{true};
    std::atomic<bool> useSysEx{true};
    // Set from the start of a close to the next open: nothing is raised meanwhile.
    std::atomic<bool> closing{false};

    // The SysEx buffer being filled on the service thread.
    std::array<std::uint8_t, BufferSize> buffer{};
    std::size_t filled = 0;
    bool inSysEx = false;

    void raiseSysEx() {
        if (filled > 0 && self.OnSysEx && useSysEx.load(std::memory_order_relaxed))
            self.OnSysEx(self, buffer.data(), static_cast<int>(filled));
        filled = 0; // the buffer goes back into use whether or not it was raised
    }

    void shortMessage(std::uint8_t status, std::uint8_t first, std::uint8_t second) override {
        if (closing.load(std::memory_order_acquire))
            return;
        if (inSysEx && !isRealTime(status)) {
            // The SysEx was broken off: its partial buffer is dropped, not raised.
            inSysEx = false;
            filled = 0;
        }
        if (self.OnShort && useShort.load(std::memory_order_relaxed))
            self.OnShort(self, status, first, second);
    }

    void sysExBytes(const std::uint8_t* data, std::size_t length) override {
        if (closing.load(std::memory_order_acquire))
            return;
        for (std::size_t i = 0; i < length; ++i) {
            const std::uint8_t b = data[i];
            if (b == SysExStart) {
                filled = 0; // an unfinished earlier message is dropped
                inSysEx = true;
            } else if (!inSysEx || (isStatus(b) && b != SysExEnd)) {
                inSysEx = false;
                filled = 0;
                continue; // bytes outside a message
            }
            buffer[filled++] = b;
            if (b == SysExEnd) {
                inSysEx = false;
                raiseSysEx();
            } else if (filled == BufferSize) {
                raiseSysEx();
            }
        }
    }

    void open() {
        closing.store(false, std::memory_order_release);
        filled = 0;
        inSysEx = false;
        if (port < 0 || port >= static_cast<int>(devices.size())) {
            openResult = OpenNoSuchDevice;
            return;
        }
        const auto& dev = devices[static_cast<std::size_t>(port)];
        int error = OpenOk;
        connection = dev.service->openInput(dev.name, *this, error);
        openResult = connection ? OpenOk : (error ? error : OpenRefused);
    }

    void close() {
        closing.store(true, std::memory_order_release);
        if (connection)
            lostEarlier += connection->lost();
        connection.reset(); // no sink call runs after this
        closeResult = 0;
    }
};

TMidiIn::TMidiIn(const MidiSystem& system)
    : d(std::make_unique<Impl>(*this, system)) {}

TMidiIn::~TMidiIn() {
    if (d->usingPort)
        d->close();
}

bool TMidiIn::Using() const {
    return d->usingPort;
}

void TMidiIn::SetUsing(bool value) {
    if (value && !d->usingPort)
        d->open();
    else if (!value && d->usingPort)
        d->close();
    d->usingPort = value;
}

int TMidiIn::Port() const {
    return d->port;
}

void TMidiIn::SetPort(int port) {
    if (port < 0 || port >= NumDevs())
        return;
    if (!d->usingPort) {
        d->port = port;
        return;
    }
    d->close();
    d->port = port;
    d->open();
}

int TMidiIn::NumDevs() const {
    return static_cast<int>(std::min<std::size_t>(d->devices.size(), MidiSystem::MaxDevices));
}

std::string TMidiIn::DeviceName(int device) const {
    if (device < 0 || device >= NumDevs())
        return {};
    return d->devices[static_cast<std::size_t>(device)].name;
}

int TMidiIn::OpenResult() const {
    return d->openResult;
}
int TMidiIn::CloseResult() const {
    return d->closeResult;
}
std::uint64_t TMidiIn::Lost() const {
    return d->lostEarlier + (d->connection ? d->connection->lost() : 0);
}
Link TMidiIn::PortLink() const {
    return d->connection ? d->connection->link() : Link::Fine;
}
bool TMidiIn::UseShort() const {
    return d->useShort;
}
void TMidiIn::SetUseShort(bool value) {
    d->useShort = value;
}
bool TMidiIn::UseSysEx() const {
    return d->useSysEx;
}
void TMidiIn::SetUseSysEx(bool value) {
    d->useSysEx = value;
}

} // namespace korv::midi
