// What the status line says about MIDI trouble nobody asked about: messages lost on the way in
// or out, a MIDI service that went away. The ports only count; this turns the counts into words.
#pragma once

#include <QString>

#include <cstdint>
#include <string>

namespace korv::app {

class MidiHealth {
public:
    // Takes the counts as they stand now; answers the text for what went wrong since the last
    // answer, or an empty text. One trouble per answer: the others follow on the next calls.
    QString Check(std::uint64_t inLost, std::uint64_t outLost, const std::string& goneService);

private:
    std::uint64_t inTold_ = 0;
    std::uint64_t outTold_ = 0;
    bool goneTold_ = false;
};

} // namespace korv::app
