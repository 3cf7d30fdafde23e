// The adapter between the port components and one platform MIDI service (ALSA sequencer,
// JACK, or the in-process loopback used by tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace korv::midi {

// Receives what an open input delivers. Called on the service's own thread, one call at a
// time, in arrival order; implementations must not block for long and must not allocate.
class MidiInputSink {
public:
    virtual ~MidiInputSink() = default;
    // A complete short message (1 to 3 bytes; missing bytes are 0).
    virtual void shortMessage(std::uint8_t status, std::uint8_t first, std::uint8_t second) = 0;
    // Bytes of a SysEx message as they arrive: a whole message or any run of its bytes,
    // starting with F0 for the first run and ending with F7 for the last.
    virtual void sysExBytes(const std::uint8_t* data, std::size_t length) = 0;
};

// One opened input of a service. Destroying it closes the device; no sink call runs after
// the destructor has returned.
class MidiInputConnection {
public:
    virtual ~MidiInputConnection() = default;
};

// One opened output of a service. Calls may come from several threads; the service
// serialises them. Destroying it closes the device.
class MidiOutputConnection {
public:
    virtual ~MidiOutputConnection() = default;
    // Sends `length` bytes (1 to 3) as one short message.
    virtual void sendShort(const std::uint8_t* data, std::size_t length) = 0;
    // Sends the bytes unchanged: a whole SysEx message or any piece of one. Returns once the
    // service has taken the bytes (they may be freed then), or false when they could not be
    // handed over (service gone, time-out).
    virtual bool sendSysEx(const std::uint8_t* data, std::size_t length) = 0;
    // Silences the device (all notes off where the service has such a call); may do nothing.
    virtual void reset() {}
};

// Result codes of an open; 0 is success.
enum OpenError : int {
    OpenOk = 0,
    OpenNoSuchDevice = 2, // the device has gone
    OpenServiceGone = 3,  // the MIDI service is not running any more
    OpenRefused = 4,      // the service refused (device busy, no permission, ...)
};

class MidiService {
public:
    virtual ~MidiService() = default;
    // Short name for messages: "ALSA", "JACK", "loopback".
    virtual std::string serviceName() const = 0;
    // Device names in a stable order, taken now.
    virtual std::vector<std::string> inputNames() = 0;
    virtual std::vector<std::string> outputNames() = 0;
    // Opens device `index` of the lists above. On failure returns nullptr and sets `error`.
    virtual std::unique_ptr<MidiInputConnection> openInput(std::size_t index, MidiInputSink& sink,
                                                           int& error) = 0;
    virtual std::unique_ptr<MidiOutputConnection> openOutput(std::size_t index, int& error) = 0;
};

} // namespace korv::midi
