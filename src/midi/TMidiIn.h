// The MIDI input port component: one input device; raises OnShort and OnSysEx on the
// service's thread, one at a time, in arrival order. Handlers must not touch widgets.
#pragma once

#include "MidiSystem.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace korv::midi {

class TMidiIn {
public:
    using ShortEvent = std::function<void(TMidiIn& sender, std::uint8_t status, std::uint8_t first,
                                          std::uint8_t second)>;
    // `data` is valid only during the call; 1 to 128 bytes; a long SysEx arrives as a run of
    // full 128-byte buffers and a shorter last one.
    using SysExEvent = std::function<void(TMidiIn& sender, const std::uint8_t* data, int size)>;

    explicit TMidiIn(const MidiSystem& system);
    ~TMidiIn();
    TMidiIn(const TMidiIn&) = delete;
    TMidiIn& operator=(const TMidiIn&) = delete;

    bool Using() const;
    void SetUsing(bool value);
    int Port() const;
    void SetPort(int port);
    int NumDevs() const;
    std::string DeviceName(int device) const;
    int OpenResult() const;
    int CloseResult() const;
    // Events that arrived while the program could not take them in (it fell behind), since
    // this component was made. Call from the thread that opens and closes the port.
    std::uint64_t Lost() const;
    // How the open device stands with its port at the other end (Fine while closed). Call from
    // the thread that opens and closes the port; never waits on the MIDI service.
    Link PortLink() const;

    // Assign while the port is closed.
    ShortEvent OnShort;
    SysExEvent OnSysEx;
    bool UseShort() const;
    void SetUseShort(bool value);
    bool UseSysEx() const;
    void SetUseSysEx(bool value);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace korv::midi
