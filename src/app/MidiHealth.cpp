#include "MidiHealth.h"

namespace korv::app {

QString MidiHealth::Check(std::uint64_t inLost, std::uint64_t outLost,
                          const std::string& goneService) {
    if (!goneService.empty() && !goneTold_) {
        goneTold_ = true;
        return QStringLiteral("The %1 server went away: its MIDI ports no longer work")
            .arg(QString::fromStdString(goneService));
    }
    if (inLost > inTold_) {
        const auto n = inLost - inTold_;
        inTold_ = inLost;
        return n == 1
                   ? QStringLiteral("1 incoming MIDI message was lost: the program fell behind")
                   : QStringLiteral("%1 incoming MIDI messages were lost: the program fell behind")
                         .arg(n);
    }
    if (outLost > outTold_) {
        const auto n = outLost - outTold_;
        outTold_ = outLost;
        return n == 1 ? QStringLiteral("1 MIDI message could not be sent and was lost")
                      : QStringLiteral("%1 MIDI messages could not be sent and were lost").arg(n);
    }
    return {};
}

} // namespace korv::app
