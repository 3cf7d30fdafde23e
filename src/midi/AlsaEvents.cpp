#include "AlsaEvents.h"

#include "MidiBytes.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace korv::midi::alsa {

namespace {
constexpr std::uint8_t d7(int v) {
    return static_cast<std::uint8_t>(v & 0x7F);
}
} // namespace

bool encodeShort(const std::uint8_t* msg, std::size_t length, snd_seq_event_t& ev) {
    if (length == 0)
        return false;
    const std::uint8_t status = msg[0];
    // A meta event of the box (an F-status followed by more bytes than MIDI gives it) travels
    // as raw bytes, exactly as put.
    if (status >= 0xF0 && length > shortMessageLength(status)) {
        encodeSysEx(msg, length, ev);
        return true;
    }
    const std::uint8_t a = length > 1 ? msg[1] & 0x7F : 0;
    const std::uint8_t b = length > 2 ? msg[2] & 0x7F : 0;
    const std::uint8_t channel = status & 0x0F;
    snd_seq_event_type_t type;
    switch (status < 0xF0 ? status & 0xF0 : status) {
    case 0x80:
    case 0x90:
    case 0xA0:
        type = status < 0x90 ? SND_SEQ_EVENT_NOTEOFF
                             : (status < 0xA0 ? SND_SEQ_EVENT_NOTEON : SND_SEQ_EVENT_KEYPRESS);
        ev.type = type;
        ev.data.note.channel = channel;
        ev.data.note.note = a;
        ev.data.note.velocity = b;
        ev.data.note.off_velocity = 0;
        ev.data.note.duration = 0;
        return true;
    case 0xB0:
        ev.type = SND_SEQ_EVENT_CONTROLLER;
        ev.data.control.channel = channel;
        ev.data.control.param = a;
        ev.data.control.value = b;
        return true;
    case 0xC0:
    case 0xD0:
        ev.type = (status & 0xF0) == 0xC0 ? SND_SEQ_EVENT_PGMCHANGE : SND_SEQ_EVENT_CHANPRESS;
        ev.data.control.channel = channel;
        ev.data.control.param = 0;
        ev.data.control.value = a;
        return true;
    case 0xE0:
        ev.type = SND_SEQ_EVENT_PITCHBEND;
        ev.data.control.channel = channel;
        ev.data.control.param = 0;
        ev.data.control.value = ((b << 7) | a) - 8192;
        return true;
    case 0xF1:
    case 0xF3:
        ev.type = status == 0xF1 ? SND_SEQ_EVENT_QFRAME : SND_SEQ_EVENT_SONGSEL;
        ev.data.control.channel = 0;
        ev.data.control.param = 0;
        ev.data.control.value = a;
        return true;
    case 0xF2:
        ev.type = SND_SEQ_EVENT_SONGPOS;
        ev.data.control.channel = 0;
        ev.data.control.param = 0;
        ev.data.control.value = (b << 7) | a;
        return true;
    case 0xF6:
        type = SND_SEQ_EVENT_TUNE_REQUEST;
        break;
    case 0xF8:
        type = SND_SEQ_EVENT_CLOCK;
        break;
    case 0xFA:
        type = SND_SEQ_EVENT_START;
        break;
    case 0xFB:
        type = SND_SEQ_EVENT_CONTINUE;
        break;
    case 0xFC:
        type = SND_SEQ_EVENT_STOP;
        break;
    case 0xFE:
        type = SND_SEQ_EVENT_SENSING;
        break;
    case 0xFF:
        type = SND_SEQ_EVENT_RESET;
        break;
    default:
        return false;
    }
    ev.type = type;
    std::memset(&ev.data, 0, sizeof ev.data);
    return true;
}

void encodeSysEx(const std::uint8_t* data, std::size_t length, snd_seq_event_t& ev) {
    snd_seq_ev_set_sysex(&ev, static_cast<unsigned>(length), const_cast<std::uint8_t*>(data));
}

bool decodeEvent(const snd_seq_event_t& ev, MidiStreamParser& parser, MidiInputSink& sink) {
    std::array<std::uint8_t, 128> buf{};
    std::size_t n = 0;
    auto put = [&](std::initializer_list<int> bytes) {
        for (int v : bytes)
            buf[n++] = static_cast<std::uint8_t>(v);
    };
    const auto& note = ev.data.note;
    const auto& ctl = ev.data.control;
    const int ch = (ev.type >= SND_SEQ_EVENT_NOTE && ev.type <= SND_SEQ_EVENT_REGPARAM)
                       ? ((ev.type <= SND_SEQ_EVENT_KEYPRESS ? note.channel : ctl.channel) & 0x0F)
                       : 0;
    switch (ev.type) {
    case SND_SEQ_EVENT_NOTEOFF:
        put({0x80 | ch, d7(note.note), d7(note.velocity)});
        break;
    case SND_SEQ_EVENT_NOTEON:
        put({0x90 | ch, d7(note.note), d7(note.velocity)});
        break;
    case SND_SEQ_EVENT_KEYPRESS:
        put({0xA0 | ch, d7(note.note), d7(note.velocity)});
        break;
    case SND_SEQ_EVENT_CONTROLLER:
        put({0xB0 | ch, d7(static_cast<int>(ctl.param)), d7(ctl.value)});
        break;
    case SND_SEQ_EVENT_CONTROL14:
        if (ctl.param < 32)
            put({0xB0 | ch, d7(static_cast<int>(ctl.param)), d7(ctl.value >> 7), 0xB0 | ch,
                 d7(static_cast<int>(ctl.param) + 32), d7(ctl.value)});
        else
            put({0xB0 | ch, d7(static_cast<int>(ctl.param)), d7(ctl.value)});
        break;
    case SND_SEQ_EVENT_NONREGPARAM:
    case SND_SEQ_EVENT_REGPARAM: {
        const int hi = ev.type == SND_SEQ_EVENT_NONREGPARAM ? 99 : 101;
        const int p = static_cast<int>(ctl.param);
        put({0xB0 | ch, hi, d7(p >> 7), 0xB0 | ch, hi - 1, d7(p), 0xB0 | ch, 6, d7(ctl.value >> 7),
             0xB0 | ch, 38, d7(ctl.value)});
        break;
    }
    case SND_SEQ_EVENT_PGMCHANGE:
        put({0xC0 | ch, d7(ctl.value)});
        break;
    case SND_SEQ_EVENT_CHANPRESS:
        put({0xD0 | ch, d7(ctl.value)});
        break;
    case SND_SEQ_EVENT_PITCHBEND: {
        // Any sender may put any value in the event: widened so that adding cannot overflow.
        const int v = static_cast<int>(std::clamp(ctl.value + 8192LL, 0LL, 16383LL));
        put({0xE0 | ch, d7(v), d7(v >> 7)});
        break;
    }
    case SND_SEQ_EVENT_QFRAME:
        put({0xF1, d7(ctl.value)});
        break;
    case SND_SEQ_EVENT_SONGPOS:
        put({0xF2, d7(ctl.value), d7(ctl.value >> 7)});
        break;
    case SND_SEQ_EVENT_SONGSEL:
        put({0xF3, d7(ctl.value)});
        break;
    case SND_SEQ_EVENT_TUNE_REQUEST:
        put({0xF6});
        break;
    case SND_SEQ_EVENT_CLOCK:
        put({0xF8});
        break;
    case SND_SEQ_EVENT_START:
        put({0xFA});
        break;
    case SND_SEQ_EVENT_CONTINUE:
        put({0xFB});
        break;
    case SND_SEQ_EVENT_STOP:
        put({0xFC});
        break;
    case SND_SEQ_EVENT_SENSING:
        put({0xFE});
        break;
    case SND_SEQ_EVENT_RESET:
        put({0xFF});
        break;
    case SND_SEQ_EVENT_SYSEX: {
        const auto* src = static_cast<const std::uint8_t*>(ev.data.ext.ptr);
        const std::size_t len = src ? ev.data.ext.len : 0;
        for (std::size_t pos = 0; pos < len; pos += buf.size()) {
            const std::size_t chunk = std::min(buf.size(), len - pos);
            std::memcpy(buf.data(), src + pos, chunk);
            parser.feed(buf.data(), chunk, sink);
        }
        return true;
    }
    default:
        return false;
    }
    parser.feed(buf.data(), n, sink);
    return true;
}

} // namespace korv::midi::alsa
