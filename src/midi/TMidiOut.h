// The MIDI output port component: one output device, short messages and SysEx pieces.
// Never reports failures itself: results are stored in OpenResult/CloseResult.
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
    void SetUsing(bool value);
    int Port() const;
    void SetPort(int port);
    int NumDevs() const;
    std::string DeviceName(int device) const;
    int OpenResult() const;
    int CloseResult() const;

    // One short message; sends as many bytes as the status implies. Held back while a SysEx
    // is open on this output (a piece went out without F7) and sent right after the piece that
    // carries F7; real-time bytes (F8-FF) pass at once. Thread-safe.
    void Put(std::uint8_t status, std::uint8_t first, std::uint8_t second);
    // Sends exactly `length` bytes (a SysEx or a piece of one) unless length < 3; returns after
    // the service has taken them, or after a time-out. Thread-safe.
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
