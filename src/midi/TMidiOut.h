// The MIDI output port component: one output device, short messages and SysEx pieces.
// Never reports failures itself: results are stored in OpenResult/CloseResult and Lost.
#pragma once

#include "MidiSystem.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace korv::midi {

class TMidiOut {
public:
    // The device list is taken once, here.
    explicit TMidiOut(const MidiSystem& system);
    ~TMidiOut();
    TMidiOut(const TMidiOut&) = delete;
    TMidiOut& operator=(const TMidiOut&) = delete;

    bool Using() const;
    // SetUsing and SetPort open and close the device: call them from one thread (the GUI).
    // They wait on the MIDI service a bounded time, without blocking Put or SysEx meanwhile.
    void SetUsing(bool value);
    int Port() const;
    void SetPort(int port);
    int NumDevs() const;
    std::string DeviceName(int device) const;
    int OpenResult() const;
    // CloseLostMessages when the last close threw away messages that had not gone out yet.
    int CloseResult() const;
    // Messages that never reached the device since this component was made: the send queue
    // was full, the held queue was full, or a close gave up on them.
    std::uint64_t Lost() const;
    // How the open device stands with its port at the other end (Fine while closed). Call from
    // the thread that opens and closes the port; never waits on the MIDI service.
    Link PortLink() const;

    // One short message; sends as many bytes as the status implies. Held back while a SysEx
    // is open on this output (a piece went out without F7) and sent right after the piece that
    // carries F7, in their order; the box's F8-FF entries are three bytes and wait too. A held
    // controller, pressure or pitch-bend message is replaced by a newer one of the same
    // status (and controller or key). Thread-safe.
    void Put(std::uint8_t status, std::uint8_t first, std::uint8_t second);
    // Sends exactly `length` bytes (a SysEx or a piece of one) unless length < 3; returns once
    // the service has taken them or counted them lost. Thread-safe.
    void SysEx(const std::uint8_t* data, int length);
    // Closes a SysEx left open (a paced send cancelled half-way) with a lone F7, so the
    // receiver leaves it, then sends the short messages held back meanwhile. Nothing happens
    // when no SysEx is open. Thread-safe.
    void EndSysEx();
    void Reset();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace korv::midi
