#include "TMidiOut.h"

#include "MidiBytes.h"

#include <algorithm>
#include <array>

namespace korv::midi {

struct TMidiOut::Impl {
    // Short messages held back while a SysEx is open: a knob turned during a 20-second paced
    // send gives a few thousand at most.
    static constexpr std::size_t HoldCapacity = 4096;

    explicit Impl(const MidiSystem& system)
        : devices(system.outputs()) {}

    const std::vector<MidiSystem::Device> devices; // taken once
    // Serialises everything below between the GUI and the timer thread.
    mutable std::mutex mutex;
    std::unique_ptr<MidiOutputConnection> connection;
    bool usingPort = false;
    int port = 0;
    int openResult = 0;
    int closeResult = 0;

    bool sysExOpen = false; // a piece went out without its F7
    std::array<std::array<std::uint8_t, 3>, HoldCapacity> held{};
    std::size_t heldStart = 0;
    std::size_t heldCount = 0;
    std::size_t heldDropped = 0;

    void open() {
        sysExOpen = false;
        heldCount = 0;
        if (port < 0 || port >= static_cast<int>(devices.size())) {
            openResult = OpenNoSuchDevice;
            return;
        }
        const auto& dev = devices[static_cast<std::size_t>(port)];
        int error = OpenOk;
        connection = dev.service->openOutput(dev.index, error);
        openResult = connection ? OpenOk : (error ? error : OpenRefused);
    }

    void close() {
        // Messages still held would follow a SysEx that never ends: they go out now, so a
        // note-off is not lost.
        sysExOpen = false;
        releaseHeld();
        connection.reset();
        closeResult = 0;
    }

    void sendShort(const std::uint8_t* msg) {
        const std::size_t len = putMessageLength(msg[0]);
        if (len && connection)
            connection->sendShort(msg, len);
    }

    void releaseHeld() {
        while (heldCount > 0) {
            sendShort(held[heldStart].data());
            heldStart = (heldStart + 1) % HoldCapacity;
            --heldCount;
        }
        heldStart = 0;
    }
};

TMidiOut::TMidiOut(const MidiSystem& system)
    : d(std::make_unique<Impl>(system)) {}

TMidiOut::~TMidiOut() {
    std::lock_guard l(d->mutex);
    if (d->usingPort)
        d->close();
}

bool TMidiOut::Using() const {
    std::lock_guard l(d->mutex);
    return d->usingPort;
}

void TMidiOut::SetUsing(bool value) {
    std::lock_guard l(d->mutex);
    if (value && !d->usingPort)
        d->open();
    else if (!value && d->usingPort)
        d->close();
    d->usingPort = value;
}

int TMidiOut::Port() const {
    std::lock_guard l(d->mutex);
    return d->port;
}

void TMidiOut::SetPort(int port) {
    if (port < 0 || port >= NumDevs())
        return;
    std::lock_guard l(d->mutex);
    if (!d->usingPort) {
        d->port = port;
        return;
    }
    d->close();
    d->port = port;
    d->open();
}

int TMidiOut::NumDevs() const {
    return static_cast<int>(std::min<std::size_t>(d->devices.size(), MidiSystem::MaxDevices));
}

std::string TMidiOut::DeviceName(int device) const {
    if (device < 0 || device >= NumDevs())
        return {};
    return d->devices[static_cast<std::size_t>(device)].name;
}

int TMidiOut::OpenResult() const {
    std::lock_guard l(d->mutex);
    return d->openResult;
}

int TMidiOut::CloseResult() const {
    std::lock_guard l(d->mutex);
    return d->closeResult;
}

void TMidiOut::Put(std::uint8_t status, std::uint8_t first, std::uint8_t second) {
    std::lock_guard l(d->mutex);
    if (!d->usingPort || !d->connection)
        return;
    const std::array<std::uint8_t, 3> msg{status, first, second};
    // A put message is never a lone real-time byte (F-statuses carry their data bytes), so
    // inside an open SysEx every one of them waits for the F7.
    if (!d->sysExOpen) {
        d->sendShort(msg.data());
        return;
    }
    if (d->heldCount == Impl::HoldCapacity) {
        ++d->heldDropped;
        return;
    }
    d->held[(d->heldStart + d->heldCount) % Impl::HoldCapacity] = msg;
    ++d->heldCount;
}

void TMidiOut::SysEx(const std::uint8_t* data, int length) {
    std::lock_guard l(d->mutex);
    if (!d->usingPort || !d->connection || !data || length < 3)
        return;
    const auto n = static_cast<std::size_t>(length);
    d->connection->sendSysEx(data, n);
    for (std::size_t i = 0; i < n; ++i) {
        if (data[i] == SysExStart)
            d->sysExOpen = true;
        else if (data[i] == SysExEnd)
            d->sysExOpen = false;
    }
    if (!d->sysExOpen)
        d->releaseHeld();
}

void TMidiOut::EndSysEx() {
    std::lock_guard l(d->mutex);
    if (!d->usingPort || !d->connection || !d->sysExOpen)
        return;
    const std::uint8_t end = SysExEnd;
    d->connection->sendSysEx(&end, 1);
    d->sysExOpen = false;
    d->releaseHeld();
}

void TMidiOut::Reset() {
    std::lock_guard l(d->mutex);
    if (d->usingPort && d->connection)
        d->connection->reset();
}

} // namespace korv::midi
