// An in-process MIDI service for tests: devices whose input is injected by the test and whose
// output bytes are captured.
#pragma once

#include "MidiService.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace korv::midi {

class LoopbackService : public MidiService {
public:
    LoopbackService();
    ~LoopbackService() override;

    // Adds a device; returns its index in its list.
    std::size_t addInput(std::string name);
    std::size_t addOutput(std::string name);
    // Makes opening the named device fail with `error` (0 clears the failure).
    void setOpenFailure(const std::string& name, int error);

    // Delivers bytes to an open input as the device would (short messages and SysEx, in
    // order), on the service's delivery thread. Returns false if the input is not open.
    bool inject(std::size_t input, const std::vector<std::uint8_t>& bytes);
    // Waits until everything injected so far has been delivered.
    void flush();

    // Every byte sent on output `output` since it was opened or last cleared, in order.
    std::vector<std::uint8_t> sent(std::size_t output) const;
    // Each send call as it came (one entry per sendShort/sendSysEx).
    std::vector<std::vector<std::uint8_t>> sentMessages(std::size_t output) const;
    void clearSent(std::size_t output);

    std::string serviceName() const override;
    std::vector<std::string> inputNames() override;
    std::vector<std::string> outputNames() override;
    std::unique_ptr<MidiInputConnection> openInput(const std::string& name, MidiInputSink& sink,
                                                   int& error) override;
    std::unique_ptr<MidiOutputConnection> openOutput(const std::string& name, int& error) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace korv::midi
