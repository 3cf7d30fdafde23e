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
    // Connects to the server `serverName` (when empty: the one named by JACK_DEFAULT_SERVER, or
    // the default one); nullptr when no such server runs or it does not answer. Without a
    // running server no call goes into the JACK library.
    static std::unique_ptr<JackService> connect(const std::string& clientName = VirtualPortName,
                                                const std::string& serverName = {});
    ~JackService() override;

    std::string serviceName() const override { return "JACK"; }
    // Other clients' MIDI ports as "client:port"; inputs are their outputs and vice versa.
    std::vector<std::string> inputNames() override;
    std::vector<std::string> outputNames() override;
    // Calls that wait on the server have a time limit; once one was given up on, or no process
    // cycle has run for a second, opens fail at once with OpenNoAnswer until the server answers.
    std::unique_ptr<MidiInputConnection> openInput(const std::string& name, MidiInputSink& sink,
                                                   int& error) override;
    std::unique_ptr<MidiOutputConnection> openOutput(const std::string& name, int& error) override;

    std::unique_ptr<MidiInputConnection> openVirtualInput(MidiInputSink& sink, int& error) override;
    std::unique_ptr<MidiOutputConnection> openVirtualOutput(int& error) override;

    // Full names of the virtual ports, e.g. "Virtual Korvanette:Out".
    std::string virtualOutputPort() const;
    std::string virtualInputPort() const;
    // False once the server has gone away.
    bool alive() const override;
    // Received events that did not fit the receive ring, and sent messages JACK could not
    // carry (larger than a port buffer), over all ports.
    std::uint64_t droppedInput() const;
    std::uint64_t droppedOutput() const;

    struct Impl;

private:
    explicit JackService(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

} // namespace korv::midi
