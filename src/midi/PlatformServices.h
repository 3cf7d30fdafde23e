// Factories of the machine's real MIDI services and of the "Virtual Korvanette" port that
// stands on all of them; used by MidiSystem::createDefault.
#pragma once

#include "MidiService.h"

#include <chrono>
#include <memory>
#include <vector>

namespace korv::midi {

inline constexpr const char* VirtualPortName = "Virtual Korvanette";

// The program's own port on one service: other programs connect to it.
class VirtualPortProvider {
public:
    virtual ~VirtualPortProvider() = default;
    virtual std::unique_ptr<MidiInputConnection> openVirtualInput(MidiInputSink& sink,
                                                                  int& error) = 0;
    virtual std::unique_ptr<MidiOutputConnection> openVirtualOutput(int& error) = 0;
};

struct PlatformService {
    std::unique_ptr<MidiService> service;
    VirtualPortProvider* provider = nullptr; // part of `service`
    explicit operator bool() const { return service != nullptr; }
};

// Each returns an empty result when its service is not available on this machine; without the
// service's device or server, its library is not called at all.
PlatformService makeAlsaService();
// True when this machine has an ALSA sequencer device to open.
bool AlsaSequencerPresent();
PlatformService makeJackService();

// One input and one output device named "Virtual Korvanette": output goes to the virtual
// port of every provider, input from all of them is merged. A provider whose SysEx stops for
// `silence` no longer holds the others back. Providers must outlive it.
std::unique_ptr<MidiService>
makeVirtualService(std::vector<VirtualPortProvider*> providers,
                   std::chrono::milliseconds silence = std::chrono::milliseconds(1000));

} // namespace korv::midi
