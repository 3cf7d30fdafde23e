// The JACK MIDI service: MIDI ports of a running JACK server (never started by us), and the
// program's own "Virtual Korvanette" ports on its JACK client.
#pragma once

#include "MidiService.h"
#include "PlatformServices.h"

#include <cstdint>
#include <memory>
#include <string>

namespace korv::midi {

class JackService : public MidiService, public VirtualPortProvider {
public:
    // Connects to the server named by JACK_DEFAULT_SERVER (or the default one); nullptr when
    // no server runs.
    static std::unique_ptr<JackService> connect(const std::string& clientName = VirtualPortName);
    ~JackService() override;

    std::string serviceName() const override { return "JACK"; }
    // Other clients' MIDI ports as "client:port"; inputs are their outputs and vice versa.
    // An open by index refers to the list returned last.
    std::vector<std::string> inputNames() override;
    std::vector<std::string> outputNames() override;
    std::unique_ptr<MidiInputConnection> openInput(std::size_t index, MidiInputSink& sink,
                                                   int& error) override;
    std::unique_ptr<MidiOutputConnection> openOutput(std::size_t index, int& error) override;

    std::unique_ptr<MidiInputConnection> openVirtualInput(MidiInputSink& sink, int& error) override;
    std::unique_ptr<MidiOutputConnection> openVirtualOutput(int& error) override;

    // Full names of the virtual ports, e.g. "Virtual Korvanette:Out".
    std::string virtualOutputPort() const;
    std::string virtualInputPort() const;
    // False once the server has gone away.
    bool alive() const;
    // Received events that did not fit the receive ring, and sent messages JACK could not
    // carry (larger than a port buffer).
    std::uint64_t droppedInput() const;
    std::uint64_t droppedOutput() const;

    struct Impl;

private:
    explicit JackService(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

} // namespace korv::midi
