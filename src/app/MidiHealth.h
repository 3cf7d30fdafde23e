// What the status line says about MIDI trouble nobody asked about: messages lost on the way in
// or out, a device whose port went away or was disconnected by another program, a MIDI service
// that went away. The ports only count and tell; this turns that into words.
#pragma once

#include "MidiService.h"

#include <QString>

#include <cstdint>
#include <string>

namespace korv::app {

// How the ports stand now.
struct MidiState {
    std::uint64_t inLost = 0;
    std::uint64_t outLost = 0;
    std::string goneService; // a service whose server went away, or empty
    midi::Link inLink = midi::Link::Fine;
    midi::Link outLink = midi::Link::Fine;
    QString inName; // the devices picked
    QString outName;
};

class MidiHealth {
public:
    // Answers the text for what went wrong since the last answer, or an empty text. One
    // trouble per answer: the others follow on the next calls. A link trouble is told once,
    // and again only after the link was fine in between.
    QString Check(const MidiState& now);

private:
    std::uint64_t inTold_ = 0;
    std::uint64_t outTold_ = 0;
    bool goneTold_ = false;
    midi::Link inLinkTold_ = midi::Link::Fine;
    midi::Link outLinkTold_ = midi::Link::Fine;
};

} // namespace korv::app
