#include "MidiHealth.h"

#include "PlatformServices.h"

namespace korv::app {
namespace {

QString LinkText(midi::Link link, const char* direction, const QString& device) {
    const QString port = QStringLiteral("MIDI %1 port \"%2\"").arg(QLatin1String(direction), device);
    if (link == midi::Link::PeerGone)
        return QStringLiteral("The %1 has gone: pick it again once it is back, or pick another")
            .arg(port);
    // The program's own port is connected by others; a device's port is connected by the pick.
    if (device == QLatin1String(midi::VirtualPortName))
        return QStringLiteral("Nothing is connected to the %1 any more").arg(port);
    return QStringLiteral("The %1 was disconnected by another program: pick it again to reconnect")
        .arg(port);
}

// The link's text when it has just gone wrong, else empty; `told` follows the link.
QString LinkNews(midi::Link link, midi::Link& told, const char* direction, const QString& device) {
    if (link == told)
        return {};
    told = link;
    return link == midi::Link::Fine ? QString() : LinkText(link, direction, device);
}

} // namespace

QString MidiHealth::Check(const MidiState& now) {
    if (!now.goneService.empty() && !goneTold_) {
        goneTold_ = true;
        return QStringLiteral("The %1 server went away: its MIDI ports no longer work")
            .arg(QString::fromStdString(now.goneService));
    }
    if (QString text = LinkNews(now.outLink, outLinkTold_, "OUT", now.outName); !text.isEmpty())
        return text;
    if (QString text = LinkNews(now.inLink, inLinkTold_, "IN", now.inName); !text.isEmpty())
        return text;
    if (now.inLost > inTold_) {
        const auto n = now.inLost - inTold_;
        inTold_ = now.inLost;
        return n == 1
                   ? QStringLiteral("1 incoming MIDI message was lost: the program fell behind")
                   : QStringLiteral("%1 incoming MIDI messages were lost: the program fell behind")
                         .arg(n);
    }
    if (now.outLost > outTold_) {
        const auto n = now.outLost - outTold_;
        outTold_ = now.outLost;
        return n == 1 ? QStringLiteral("1 MIDI message could not be sent and was lost")
                      : QStringLiteral("%1 MIDI messages could not be sent and were lost").arg(n);
    }
    return {};
}

} // namespace korv::app
