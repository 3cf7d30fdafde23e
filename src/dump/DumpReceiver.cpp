#include "DumpReceiver.h"

#include "DumpProtocol.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace korv::dump {

DumpReceiver::DumpReceiver(const model::SettingsImage& image, QString boxName)
    : image_(image)
    , boxName_(std::move(boxName)) {}

void DumpReceiver::SetDeviceId(int deviceId) {
    deviceId_.store(deviceId, std::memory_order_relaxed);
}

int DumpReceiver::DeviceId() const {
    return deviceId_.load(std::memory_order_relaxed);
}

void DumpReceiver::Notice(std::vector<ReceiverEffect>& effects, const QString& text, bool failure) {
    effects.push_back(ReceiverEffect::Status(text, failure));
}

QString DumpReceiver::BankChangeText(std::uint8_t bank) const {
    if (bank == 0x7F)
        return QStringLiteral("No Vaultcard ?");
    return QStringLiteral("Bank Change to Nr. ") + QString::number(bank + 1) +
           QStringLiteral(" Confirmed !");
}

int DumpReceiver::ReceiveCount() const {
    std::lock_guard l(mutex_);
    return receiveCount_;
}

bool DumpReceiver::Abandon() {
    std::lock_guard l(mutex_);
    if (receiveCount_ <= 0)
        return false;
    receiveCount_ = 0;
    return true;
}

std::vector<ReceiverEffect> DumpReceiver::Feed(const std::uint8_t* b, int n) {
    std::lock_guard l(mutex_);
    std::vector<ReceiverEffect> effects;
    if (n <= 0)
        return effects;
    // A byte beyond the buffer never matches.
    const auto byteIs = [b, n](int i, int value) { return i < n && b[i] == value; };
    // The bank change confirmation is the notice with a bank byte after its command byte.
    const auto bankByteAt = [b, n](int p) { return p + 6 < n && b[p + 6] != SysExEnd; };

    int p = 0;
    if (b[0] == SysExStart) {
        const int d = DeviceId();
        const int notice = CommandByte(d, Command::Notice);
        if (byteIs(5, notice)) {
            if (bankByteAt(0)) {
                Notice(effects, BankChangeText(b[6]), b[6] == 0x7F);
                p = 8;
            } else {
                Notice(effects, boxName_ + QStringLiteral(" Detected !"));
                p = 7;
            }
            if (p >= n)
                return effects;
        }
        if (byteIs(p + 5, CommandByte(d, Command::DumpRequest))) {
            Notice(effects,
                   QStringLiteral("Dump Request from ") + boxName_ + QStringLiteral(" received !"));
            p += 7;
            if (p >= n)
                return effects;
        }
        if (byteIs(p + 5, CommandByte(d, Command::BankDumpRequest))) {
            Notice(effects, QStringLiteral("Bank Dump Request from ") + boxName_ +
                                QStringLiteral(" received !"));
            p += 7;
            if (p >= n)
                return effects;
        }
        // A confirmation behind an earlier notice is shown but not consumed: like any other
        // message left over, its bytes go on to start a reception.
        if (byteIs(p + 5, notice) && bankByteAt(p))
            Notice(effects, BankChangeText(b[p + 6]), b[p + 6] == 0x7F);
        if (byteIs(5, image_.ImageByte(CommandOffset)))
            Notice(effects, QStringLiteral("Receiving ") + boxName_ + QStringLiteral(" data !"));
        // A new message always restarts: the bytes of a reception still running are dropped.
        receivePosition_ = 0;
        receiveCount_ = model::DumpSize;
    }

    if (receiveCount_ <= 0)
        return effects;

    const int length = n - p;
    const int stored = std::min(length, receiveCount_);
    std::memcpy(receiveBuffer_.data() + receivePosition_, b + p, static_cast<std::size_t>(stored));
    receivePosition_ += length;
    receiveCount_ -= length;
    if (receiveCount_ > 0) {
        effects.push_back(ReceiverEffect::ReceiveCount(QString::number(receiveCount_)));
    } else if (receiveCount_ == 0) {
        effects.push_back(ReceiverEffect::ReceiveCount(QStringLiteral("Done !!")));
        effects.push_back(
            ReceiverEffect::DumpReceived({receiveBuffer_.begin(), receiveBuffer_.end()}));
    } else {
        // Longer than a dump: nothing is loaded, and the reception stays over until a new
        // message starts.
        effects.push_back(ReceiverEffect::ReceiveCount(QStringLiteral("Sysex 2 Large ?!")));
    }
    return effects;
}

} // namespace korv::dump
