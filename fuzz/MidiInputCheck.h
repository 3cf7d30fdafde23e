// The input path behind a MIDI service for the MIDI fuzz targets: a sink that checks what the
// stream parser promises, in front of a TMidiIn on a service that hands its sink to the target,
// whose OnShort and OnSysEx are checked and recorded.
#pragma once

#include "MidiBytes.h"
#include "MidiService.h"
#include "MidiSystem.h"
#include "TMidiIn.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace korv::fuzz {

inline void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// Checks a short message as MidiInputSink and OnShort promise it; returns its length.
inline std::size_t checkShort(std::uint8_t status, std::uint8_t first, std::uint8_t second) {
    const std::size_t length = midi::shortMessageLength(status);
    check(length > 0 && first < 0x80 && second < 0x80);
    check((length > 1 || first == 0) && (length > 2 || second == 0));
    return length;
}

// The complete SysEx messages of a byte stream, as a receiver must see them: real-time bytes
// are taken out, any other status byte breaks off an unfinished message.
inline std::vector<std::vector<std::uint8_t>> completeSysEx(const std::vector<std::uint8_t>& s) {
    std::vector<std::vector<std::uint8_t>> messages;
    std::vector<std::uint8_t> current;
    bool in = false;
    for (std::uint8_t b : s) {
        if (midi::isRealTime(b))
            continue;
        if (b == midi::SysExStart) {
            current.assign(1, b);
            in = true;
        } else if (in && b == midi::SysExEnd) {
            current.push_back(b);
            messages.push_back(current);
            in = false;
        } else if (midi::isStatus(b)) {
            in = false;
        } else if (in) {
            current.push_back(b);
        }
    }
    return messages;
}

class InputPath : public midi::MidiInputSink {
public:
    // Everything TMidiIn raised: short messages as their three bytes with a leading 0, SysEx
    // buffers with a leading 1.
    std::vector<std::vector<std::uint8_t>> raised;
    // The SysEx messages TMidiIn completed, reassembled from its buffers.
    std::vector<std::vector<std::uint8_t>> messages;
    // The bytes the parser delivered, in order.
    std::vector<std::uint8_t> delivered;

    InputPath()
        : system_({&service_})
        , in_(system_) {
        in_.OnShort = [this](midi::TMidiIn&, std::uint8_t status, std::uint8_t a, std::uint8_t b) {
            checkShort(status, a, b);
            if (!midi::isRealTime(status))
                continuing_ = false;
            raised.push_back({0, status, a, b});
        };
        in_.OnSysEx = [this](midi::TMidiIn&, const std::uint8_t* data, int size) {
            onSysEx(data, size);
        };
        in_.SetUsing(true);
        check(in_.OpenResult() == 0 && service_.sink);
    }

    void shortMessage(std::uint8_t status, std::uint8_t first, std::uint8_t second) override {
        const std::size_t length = checkShort(status, first, second);
        if (!midi::isRealTime(status))
            inSysEx_ = false;
        const std::uint8_t bytes[3] = {status, first, second};
        delivered.insert(delivered.end(), bytes, bytes + length);
        service_.sink->shortMessage(status, first, second);
    }

    // A run starts with F0 unless it goes on with a message of an earlier run; only F0 at its
    // start and F7 at its end are status bytes.
    void sysExBytes(const std::uint8_t* data, std::size_t length) override {
        check(length > 0);
        for (std::size_t i = 0; i < length; ++i)
            check(!midi::isStatus(data[i]) || (i == 0 && data[i] == midi::SysExStart) ||
                  (i == length - 1 && data[i] == midi::SysExEnd));
        check(inSysEx_ || data[0] == midi::SysExStart);
        inSysEx_ = data[length - 1] != midi::SysExEnd;
        delivered.insert(delivered.end(), data, data + length);
        service_.sink->sysExBytes(data, length);
    }

private:
    // Hands out one input, whose sink the target then calls directly.
    struct Service : midi::MidiService {
        midi::MidiInputSink* sink = nullptr;
        std::string serviceName() const override { return "fuzz"; }
        std::vector<std::string> inputNames() override { return {"in"}; }
        std::vector<std::string> outputNames() override { return {}; }
        std::unique_ptr<midi::MidiInputConnection>
        openInput(const std::string&, midi::MidiInputSink& s, int&) override {
            sink = &s;
            return std::make_unique<midi::MidiInputConnection>();
        }
        std::unique_ptr<midi::MidiOutputConnection> openOutput(const std::string&,
                                                               int& error) override {
            error = midi::OpenNoSuchDevice;
            return nullptr;
        }
    };

    // 1 to 128 bytes; the first buffer of a message starts with F0, only the last ends with
    // F7, and every buffer but the last is full.
    void onSysEx(const std::uint8_t* data, int size) {
        check(size >= 1 && size <= 128);
        check(continuing_ || data[0] == midi::SysExStart);
        for (int i = 0; i < size; ++i)
            check(!midi::isStatus(data[i]) || (i == 0 && data[i] == midi::SysExStart) ||
                  (i == size - 1 && data[i] == midi::SysExEnd));
        const bool ended = data[size - 1] == midi::SysExEnd;
        check(ended || size == 128);
        continuing_ = !ended;
        if (data[0] == midi::SysExStart)
            current_.clear();
        current_.insert(current_.end(), data, data + size);
        if (ended)
            messages.push_back(current_);
        std::vector<std::uint8_t> entry{1};
        entry.insert(entry.end(), data, data + size);
        raised.push_back(std::move(entry));
    }

    Service service_;
    midi::MidiSystem system_;
    midi::TMidiIn in_;
    bool inSysEx_ = false;
    bool continuing_ = false;
    std::vector<std::uint8_t> current_;
};

} // namespace korv::fuzz
