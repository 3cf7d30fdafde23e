#include "MidiStreamParser.h"

#include "MidiBytes.h"

namespace korv::midi {

void MidiStreamParser::reset() {
    runningStatus_ = 0;
    msg_[0] = msg_[1] = msg_[2] = 0;
    have_ = need_ = 0;
    inSysEx_ = false;
}

void MidiStreamParser::feed(const std::uint8_t* data, std::size_t length, MidiInputSink& sink) {
    std::size_t runStart = 0;
    auto flushRun = [&](std::size_t end) {
        if (inSysEx_ && end > runStart)
            sink.sysExBytes(data + runStart, end - runStart);
    };

    for (std::size_t i = 0; i < length; ++i) {
        const std::uint8_t b = data[i];
        if (isRealTime(b)) {
            flushRun(i);
            runStart = i + 1;
            sink.shortMessage(b, 0, 0);
            continue;
        }
        if (inSysEx_) {
            if (b == SysExEnd) {
                flushRun(i + 1);
                inSysEx_ = false;
                continue;
            }
            if (!isStatus(b))
                continue;
            flushRun(i); // broken off by a status byte
            inSysEx_ = false;
        }
        if (b == SysExStart) {
            inSysEx_ = true;
            runStart = i;
            runningStatus_ = 0;
            msg_[0] = 0;
            continue;
        }
        if (isStatus(b)) {
            const std::size_t len = shortMessageLength(b);
            runningStatus_ = b < 0xF0 ? b : 0;
            msg_[0] = len ? b : 0;
            have_ = 0;
            need_ = len ? len - 1 : 0;
            if (len == 1) {
                sink.shortMessage(b, 0, 0);
                msg_[0] = 0;
            }
            continue;
        }
        // Data byte.
        if (msg_[0] == 0) {
            if (runningStatus_ == 0)
                continue; // stray data byte
            msg_[0] = runningStatus_;
            have_ = 0;
            need_ = shortMessageLength(runningStatus_) - 1;
        }
        msg_[1 + have_++] = b;
        if (have_ == need_) {
            sink.shortMessage(msg_[0], msg_[1], need_ > 1 ? msg_[2] : 0);
            have_ = 0;
            msg_[1] = msg_[2] = 0;
            if (msg_[0] >= 0xF0)
                msg_[0] = 0; // system common: no running status
        }
    }
    if (inSysEx_)
        flushRun(length);
}

} // namespace korv::midi
