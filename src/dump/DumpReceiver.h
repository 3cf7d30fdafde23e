// Collects a dump from the SysEx input and recognises the box's short notices. Fed one input
// buffer at a time on the MIDI thread; returns what the window must show or load, in order,
// for the GUI thread to apply.
#pragma once

#include "SettingsImage.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

namespace korv::dump {

struct ReceiverEffect {
    enum class Kind {
        Status,       // `text` for the status line; `failure` asks for the failure colour
        ReceiveCount, // `text` for the receive count: the bytes still expected, "Done !!", ...
        DumpReceived, // `dump` holds the 4,103 received bytes, to be loaded as the settings
    };
    Kind kind = Kind::Status;
    QString text;
    bool failure = false;
    std::vector<std::uint8_t> dump;

    static ReceiverEffect Status(QString text, bool failure = false) {
        return {Kind::Status, std::move(text), failure, {}};
    }
    static ReceiverEffect ReceiveCount(QString text) {
        return {Kind::ReceiveCount, std::move(text), false, {}};
    }
    static ReceiverEffect DumpReceived(std::vector<std::uint8_t> dump) {
        return {Kind::DumpReceived, {}, false, std::move(dump)};
    }

    bool operator==(const ReceiverEffect&) const = default;
};

class DumpReceiver {
public:
    // `image` is only read: its command byte tells a dump of ours. `boxName` goes into the
    // notice texts.
    DumpReceiver(const model::SettingsImage& image, QString boxName);

    // Any thread; takes effect from the next buffer.
    void SetDeviceId(int deviceId);
    int DeviceId() const;

    // One input buffer of 1 to 128 bytes; a message longer than one buffer arrives as several
    // calls, only the first starting with F0. Calls must not overlap.
    std::vector<ReceiverEffect> Feed(const std::uint8_t* data, int size);

    // Bytes still expected by the running reception; 0 or below when none runs.
    int ReceiveCount() const;

    // Any thread: drops the reception that is running, if one is; its remaining buffers are
    // then ignored and nothing of it is loaded. False when none ran: a dump completed before
    // this call is handed over all the same.
    bool Abandon();

private:
    void Notice(std::vector<ReceiverEffect>& effects, const QString& text, bool failure = false);
    QString BankChangeText(std::uint8_t bank) const;

    const model::SettingsImage& image_;
    const QString boxName_;
    std::atomic<int> deviceId_{0};
    // Feed runs on the MIDI thread and Abandon on the GUI thread.
    mutable std::mutex mutex_;
    std::array<std::uint8_t, model::DumpSize> receiveBuffer_{};
    int receivePosition_ = 0;
    int receiveCount_ = 0;
};

} // namespace korv::dump
