// Sends the settings image to a box: paced (a 6-byte header piece, then 3 bytes per tick of the
// tempo clock, the last piece 5 bytes) or all at once. Holds back a received dump while a paced
// send is reading the image, so the box never gets half of one image and half of another.
#pragma once

#include "SettingsImage.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace korv::dump {

// Status texts of the window around a send: a "Send Sysex" pressed while a paced send runs is
// refused (failure colour); a dump received during a paced send is loaded once it has ended.
inline constexpr const char* SendRunningText = "Sysex Send still running !";
inline constexpr const char* DumpHeldText = "Dump received : loaded when the Sysex Send is done";

// The tempo clock's tempo for a send speed in bytes per second: speed x 240 / 288, so that
// 3 bytes per tick at 24 ticks per beat come to about `speed` bytes a second. Speeds below 2
// are not applied.
std::optional<std::uint16_t> TempoForSpeed(int bytesPerSecond);

class PacedSender {
public:
    struct Hooks {
        // Sends one piece as one SysEx output buffer; returns when it has gone.
        std::function<void(const std::uint8_t* data, int length)> sendPiece;
        // Stops the tempo clock; called from inside OnTick after the last piece.
        std::function<void()> stopTicks;
        // The bytes a paced send has left, after each tick; 0 after the last piece.
        std::function<void(int bytesLeft)> progress;
        // A paced send has sent its last piece.
        std::function<void()> finished;
        // Ends the SysEx that a cancelled send left open: an F7, then whatever the output
        // held back while it was open.
        std::function<void()> closeSysEx;
    };

    enum class ApplyResult { Applied, Held };

    PacedSender(model::SettingsImage& image, Hooks hooks);
    PacedSender(const PacedSender&) = delete;
    PacedSender& operator=(const PacedSender&) = delete;

    // Sends the 6 header bytes; the caller then waits a moment for the box and starts the
    // tempo clock, whose ticks call OnTick. Refused (false, nothing sent) while a send runs:
    // a second F0 in the middle of a dump would make the box throw both away.
    bool StartPaced();
    // One tick of the tempo clock, on the timer thread.
    void OnTick();
    // All 4,103 bytes as one buffer, on the calling thread. Refused while a paced send runs.
    bool SendAtOnce();
    // Ends a running paced send at once: no further piece (one on its way still goes out
    // whole), the tempo clock stopped, then closeSysEx. Returns the bytes that went out, or
    // nothing when no send ran or its last piece was already on its way. Not on the timer
    // thread: stopping the clock waits for a tick in progress.
    std::optional<int> Cancel();

    // From the header until the last piece has gone out.
    bool Running() const;
    int BytesLeft() const;

    // Copies a received dump into the image, unless a paced send is reading it: then the dump
    // is held until ApplyHeldDump after the send. The latest dump wins over a held one.
    ApplyResult ApplyReceivedDump(const std::vector<std::uint8_t>& dump);
    // Copies a held dump into the image once no send runs; false when there was none or a
    // send still runs.
    bool ApplyHeldDump();
    bool HasHeldDump() const;

    // The bytes of the last paced send that went out whole, as they went: edits made while it
    // ran are in them only if they were made before their bytes went. Empty before the first.
    std::vector<std::uint8_t> LastSent() const;

private:
    model::SettingsImage& image_;
    Hooks hooks_;
    // Guards the fields below and every read of the image for a send, so a dump is never
    // copied into the image in the middle of a piece.
    mutable std::mutex mutex_;
    // Held while a tick puts its piece on the wire, so that a cancel's F7 comes after it.
    // Taken before mutex_, never the other way round.
    std::mutex wireMutex_;
    bool running_ = false;
    int sendPosition_ = 0;
    int bytesLeft_ = 0;
    std::vector<std::uint8_t> heldDump_;
    std::vector<std::uint8_t> sending_; // the bytes of the running send, as they go
    std::vector<std::uint8_t> lastSent_;
};

} // namespace korv::dump
