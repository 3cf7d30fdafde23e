// The ALSA sequencer MIDI service: every port another client can subscribe to, and the
// program's own "Virtual Korvanette" client with one readable and one writable port.
#pragma once

#include "MidiService.h"
#include "PlatformServices.h"

#include <memory>
#include <string>

namespace korv::midi {

class AlsaService : public MidiService, public VirtualPortProvider {
public:
    // nullptr when the sequencer does not open (no sound modules, no permission).
    static std::unique_ptr<AlsaService> open(const std::string& clientName = VirtualPortName);
    ~AlsaService() override;

    std::string serviceName() const override { return "ALSA"; }
    // "client:port" of the other clients' ports.
    std::vector<std::string> inputNames() override;
    std::vector<std::string> outputNames() override;
    std::unique_ptr<MidiInputConnection> openInput(const std::string& name, MidiInputSink& sink,
                                                   int& error) override;
    std::unique_ptr<MidiOutputConnection> openOutput(const std::string& name, int& error) override;

    std::unique_ptr<MidiInputConnection> openVirtualInput(MidiInputSink& sink, int& error) override;
    std::unique_ptr<MidiOutputConnection> openVirtualOutput(int& error) override;

    struct Impl;

private:
    explicit AlsaService(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

} // namespace korv::midi
