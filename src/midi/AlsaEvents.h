// Translation between MIDI bytes and ALSA sequencer events, kept free of any sequencer handle
// so that it is tested without a sound device.
#pragma once

#include "MidiService.h"
#include "MidiStreamParser.h"

#include <alsa/asoundlib.h>

#include <cstddef>
#include <cstdint>

namespace korv::midi::alsa {

// Fills type and data of `ev` for one short message (1 to 3 bytes). False when ALSA has no
// event for it (F9, FD, a data byte as status); `ev` is then unchanged. An F-status message
// longer than MIDI defines (the box's three-byte meta events) becomes a raw-bytes event that
// references `msg`.
bool encodeShort(const std::uint8_t* msg, std::size_t length, snd_seq_event_t& ev);

// Makes `ev` a variable-length SysEx event carrying exactly these bytes, whatever they are:
// a whole message or any piece of one. The bytes are referenced, not copied.
void encodeSysEx(const std::uint8_t* data, std::size_t length, snd_seq_event_t& ev);

// Passes the bytes of a received event to `parser`. SysEx data is copied from the event's data
// pointer in runs of at most 128 bytes into a buffer on the stack. Events that carry no MIDI
// bytes (port and client announcements, queue control) are ignored; returns false for them.
bool decodeEvent(const snd_seq_event_t& ev, MidiStreamParser& parser, MidiInputSink& sink);

} // namespace korv::midi::alsa
