// The dump reception fed arbitrary sequences of input buffers, with device ID changes and
// abandons in between. Input: a sequence of steps; a step byte below 0x80 is followed by a
// buffer of (step + 1) bytes, one with the top bit set abandons (bit 0 set) or sets the device
// ID to bits 1-3.
#include "DumpReceiver.h"
#include "SettingsImage.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

using korv::dump::DumpReceiver;
using korv::dump::ReceiverEffect;
using Kind = ReceiverEffect::Kind;

namespace {

void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

// The longest run of notices a first buffer can start with before the dump bytes: a bank change
// confirmation, a dump request and a bank dump request.
constexpr int MaxNoticeBytes = 8 + 7 + 7;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const korv::model::SettingsImage image;
    DumpReceiver receiver(image, QStringLiteral("Box"));
    // The bytes of the running reception from the first byte of the buffer that started it,
    // and how many of them the notices at its start took.
    std::vector<std::uint8_t> message;
    int skipped = 0;

    std::size_t at = 0;
    while (at < size) {
        const std::uint8_t step = data[at++];
        if (step & 0x80) {
            if (step & 1) {
                const bool running = receiver.ReceiveCount() > 0;
                check(receiver.Abandon() == running);
                check(receiver.ReceiveCount() <= 0);
            } else {
                receiver.SetDeviceId((step >> 1) & 7);
                check(receiver.DeviceId() == ((step >> 1) & 7));
            }
            continue;
        }
        const int n = static_cast<int>(std::min<std::size_t>(step + 1u, size - at));
        if (n == 0)
            break;
        const std::uint8_t* buffer = data + at;
        at += static_cast<std::size_t>(n);
        const int before = receiver.ReceiveCount();

        const std::vector<ReceiverEffect> effects = receiver.Feed(buffer, n);
        const int count = receiver.ReceiveCount();

        // Notices first, then at most one count, then the dump if the count says it is done.
        std::size_t i = 0;
        while (i < effects.size() && effects[i].kind == Kind::Status) {
            check(!effects[i].text.isEmpty() && effects[i].dump.empty());
            ++i;
        }
        const bool counted = i < effects.size();
        if (counted) {
            const ReceiverEffect& e = effects[i++];
            check(e.kind == Kind::ReceiveCount);
            if (count > 0)
                check(e.text == QString::number(count));
            else if (count == 0)
                check(e.text == QStringLiteral("Done !!"));
            else
                check(e.text == QStringLiteral("Sysex 2 Large ?!"));
        }

        if (buffer[0] == 0xF0 && counted) {
            // A new reception: only notices at the start of the buffer stay out of it.
            skipped = count - (korv::model::DumpSize - n);
            check(skipped >= 0 && skipped <= MaxNoticeBytes && skipped < n);
            message.assign(buffer, buffer + n);
        } else if (buffer[0] == 0xF0 || before <= 0) {
            // Used up by notices, or no reception running: the reception stays as it was.
            check(!counted && count == before);
            if (buffer[0] != 0xF0)
                check(effects.empty());
        } else {
            check(counted && count == before - n);
            message.insert(message.end(), buffer, buffer + n);
        }
        check(count <= korv::model::DumpSize && count > -128);

        if (counted && count == 0) {
            check(i < effects.size() && effects[i].kind == Kind::DumpReceived);
            const std::vector<std::uint8_t>& dump = effects[i++].dump;
            check(dump.size() == korv::model::DumpSize);
            check(message.size() == dump.size() + static_cast<std::size_t>(skipped));
            check(std::equal(dump.begin(), dump.end(), message.begin() + skipped));
        }
        check(i == effects.size());
    }
    return 0;
}
