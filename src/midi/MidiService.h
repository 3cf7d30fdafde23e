// The adapter between the port components and one platform MIDI service (ALSA sequencer,
// JACK, or the in-process loopback used by tests).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace korv::midi {

// How an open device stands with the port at the other end, as far as the service can tell.
enum class Link {
    Fine,         // connected, or nothing known against it
    PeerGone,     // the device's port has gone (its program quit or removed it)
    Disconnected, // the connection was undone by someone else; the device may still be there
};

// The worse of two links, for a device over several services.
inline Link WorseLink(Link a, Link b) {
    return static_cast<int>(a) >= static_cast<int>(b) ? a : b;
}

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
    // Events that arrived while the program could not take them (a receive queue was full),
    // since the open. Read on the thread that opened the connection.
    virtual std::uint64_t lost() const { return 0; }
    // Read on the thread that opened the connection; never waits on the service.
    virtual Link link() const { return Link::Fine; }
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
    // Messages that could not be carried since the open (a send queue was full, a message too
    // large for the service).
    virtual std::uint64_t lost() const { return 0; }
    // Before the connection is destroyed: lets what was handed over go out, waiting a bounded
    // time. Returns the messages thrown away because they could not go out (not counted by
    // lost()).
    virtual std::uint64_t drain() { return 0; }
    // Read on the thread that opened the connection; never waits on the service.
    virtual Link link() const { return Link::Fine; }
};

// Result codes of an open; 0 is success.
enum OpenError : int {
    OpenOk = 0,
    OpenNoSuchDevice = 2, // the device has gone
    OpenServiceGone = 3,  // the MIDI service is not running any more
    OpenRefused = 4,      // the service refused (device busy, no permission, ...)
    OpenNoAnswer = 6,     // the service is stuck: it did not answer in time
};

// Result codes of a close; 0 is success.
enum CloseError : int {
    CloseOk = 0,
    CloseLostMessages = 5, // messages handed over before the close never went out
};

class MidiService {
public:
    virtual ~MidiService() = default;
    // Short name for messages: "ALSA", "JACK", "loopback".
    virtual std::string serviceName() const = 0;
    // Device names in a stable order, taken now.
    virtual std::vector<std::string> inputNames() = 0;
    virtual std::vector<std::string> outputNames() = 0;
    // Opens the device of that name, as the lists above gave it; a device that has gone since
    // fails with OpenNoSuchDevice. On failure returns nullptr and sets `error`.
    virtual std::unique_ptr<MidiInputConnection> openInput(const std::string& name,
                                                           MidiInputSink& sink, int& error) = 0;
    virtual std::unique_ptr<MidiOutputConnection> openOutput(const std::string& name,
                                                             int& error) = 0;
    // False once the service has gone away (its server quit); its devices no longer work.
    virtual bool alive() const { return true; }
};

} // namespace korv::midi
