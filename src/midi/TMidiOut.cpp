#include "TMidiOut.h"

#include "MidiBytes.h"

#include <algorithm>
#include <array>

namespace korv::midi {

namespace {

// A held message that a newer one of the same kind replaces: only its last value matters.
// Controllers and polyphonic pressure are told apart by their first byte (controller, key);
// pitch bend and channel pressure carry nothing but the value.
bool collapses(std::uint8_t status) {
    const int kind = status & 0xF0;
    return kind == 0xA0 || kind == 0xB0 || kind == 0xD0 || kind == 0xE0;
}
bool replaces(const std::array<std::uint8_t, 3>& held, const std::array<std::uint8_t, 3>& msg) {
    const int kind = msg[0] & 0xF0;
    return held[0] == msg[0] && (kind == 0xD0 || kind == 0xE0 || held[1] == msg[1]);
}

} // namespace

struct TMidiOut::Impl {
    // Short messages held back while a SysEx is open. Repeated controller values collapse into
    // one, so this fills only with notes and program changes, even during an hour-long send.
    static constexpr std::size_t HoldCapacity = 4096;

    explicit Impl(const MidiSystem& system)
        : devices(system.outputs()) {}

    const std::vector<MidiSystem::Device> devices; // taken once
    // Serialises everything below between the GUI and the timer thread. Never held while a
    // port opens or drains: those may wait on the MIDI service.
    mutable std::mutex mutex;
    std::unique_ptr<MidiOutputConnection> connection;
    bool usingPort = false;
    int port = 0;
    int openResult = 0;
    int closeResult = 0;
    std::uint64_t lostEarlier = 0; // by connections closed before, and at their close

    bool sysExOpen = false; // a piece went out without its F7
    std::array<std::array<std::uint8_t, 3>, HoldCapacity> held{};
    std::size_t heldStart = 0;
    std::size_t heldCount = 0;

    // GUI thread, without the mutex.
    void open(int which) {
        std::unique_ptr<MidiOutputConnection> opened;
        int result = OpenNoSuchDevice;
        if (which >= 0 && which < static_cast<int>(devices.size())) {
            const auto& dev = devices[static_cast<std::size_t>(which)];
            int error = OpenOk;
            opened = dev.service->openOutput(dev.name, error);
            result = opened ? OpenOk : (error ? error : OpenRefused);
        }
        std::lock_guard l(mutex);
        sysExOpen = false;
        heldCount = 0;
        heldStart = 0;
        connection = std::move(opened);
        openResult = result;
    }

    // Under the mutex: takes the connection out for close().
    std::unique_ptr<MidiOutputConnection> detach() {
        // Messages still held would follow a SysEx that never ends: they go out now, so a
        // note-off is not lost.
        sysExOpen = false;
        releaseHeld();
        return std::move(connection);
    }

    // GUI thread, without the mutex.
    void close(std::unique_ptr<MidiOutputConnection> old) {
        std::uint64_t lostAtClose = 0, lostBefore = 0;
        if (old) {
            lostAtClose = old->drain();
            lostBefore = old->lost();
            old.reset();
        }
        std::lock_guard l(mutex);
        lostEarlier += lostBefore + lostAtClose;
        closeResult = lostAtClose ? CloseLostMessages : CloseOk;
    }

    void sendShort(const std::uint8_t* msg) {
        const std::size_t len = putMessageLength(msg[0]);
        if (len && connection)
            connection->sendShort(msg, len);
    }

    // Notes, program changes and the box's meta entries keep their order.
    void hold(const std::array<std::uint8_t, 3>& msg) {
        for (std::size_t i = 0; collapses(msg[0]) && i < heldCount; ++i) {
            auto& h = held[(heldStart + i) % HoldCapacity];
            if (replaces(h, msg)) {
                h = msg;
                return;
            }
        }
        if (heldCount == HoldCapacity) {
            ++lostEarlier;
            return;
        }
        held[(heldStart + heldCount) % HoldCapacity] = msg;
        ++heldCount;
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
    SetUsing(false);
}

bool TMidiOut::Using() const {
    std::lock_guard l(d->mutex);
    return d->usingPort;
}

void TMidiOut::SetUsing(bool value) {
    std::unique_ptr<MidiOutputConnection> old;
    int port;
    {
        std::lock_guard l(d->mutex);
        if (value == d->usingPort)
            return;
        d->usingPort = value;
        if (!value)
            old = d->detach();
        port = d->port;
    }
    if (value)
        d->open(port);
    else
        d->close(std::move(old));
}

int TMidiOut::Port() const {
    std::lock_guard l(d->mutex);
    return d->port;
}

void TMidiOut::SetPort(int port) {
    if (port < 0 || port >= NumDevs())
        return;
    std::unique_ptr<MidiOutputConnection> old;
    {
        std::lock_guard l(d->mutex);
        d->port = port;
        if (!d->usingPort)
            return;
        old = d->detach();
    }
    d->close(std::move(old));
    d->open(port);
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

std::uint64_t TMidiOut::Lost() const {
    std::lock_guard l(d->mutex);
    return d->lostEarlier + (d->connection ? d->connection->lost() : 0);
}
Link TMidiOut::PortLink() const {
    std::lock_guard l(d->mutex);
    return d->connection ? d->connection->link() : Link::Fine;
}

void TMidiOut::Put(std::uint8_t status, std::uint8_t first, std::uint8_t second) {
    std::lock_guard l(d->mutex);
    if (!d->usingPort || !d->connection)
        return;
    const std::array<std::uint8_t, 3> msg{status, first, second};
    // A put message is never a lone real-time byte (F-statuses carry their data bytes), so
    // inside an open SysEx every one of them waits for the F7.
    if (d->sysExOpen)
        d->hold(msg);
    else
        d->sendShort(msg.data());
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
