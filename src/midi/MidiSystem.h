// The MIDI devices this machine offers: the union of the device lists of the services that
// are available, in service order, capped at 12 per direction.
#pragma once

#include "MidiService.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace korv::midi {

class MidiSystem {
public:
    static constexpr int MaxDevices = 12;

    // Services are asked in the given order; they must outlive the system.
    explicit MidiSystem(std::vector<MidiService*> services);
    ~MidiSystem();

    // The real services of this machine: ALSA when the sequencer opens, JACK when a server
    // runs (never started by us). Either may be missing; the list may be empty.
    static std::unique_ptr<MidiSystem> createDefault();

    // A device of one direction: which service and the name it is opened by.
    struct Device {
        MidiService* service = nullptr;
        std::string name;
    };
    // Taken when called; at most MaxDevices entries.
    std::vector<Device> inputs() const;
    std::vector<Device> outputs() const;
    // The name of a service that has gone away since the start ("JACK"), empty while all run.
    std::string goneService() const;

private:
    std::vector<MidiService*> services_;
    std::vector<std::unique_ptr<MidiService>> owned_;
};

} // namespace korv::midi
