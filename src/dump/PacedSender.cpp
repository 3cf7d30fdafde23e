#include "PacedSender.h"

#include <array>
#include <utility>

namespace korv::dump {
namespace {

constexpr int PieceSize = 3;
// A last piece of up to 6 bytes goes out whole rather than leaving a stub of 1 to 3 bytes.
constexpr int LastPieceLimit = 6;

} // namespace

std::optional<std::uint16_t> TempoForSpeed(int bytesPerSecond) {
    if (bytesPerSecond < 2)
        return std::nullopt;
    return static_cast<std::uint16_t>(bytesPerSecond * 240 / 288);
}

PacedSender::PacedSender(model::SettingsImage& image, Hooks hooks)
    : image_(image)
    , hooks_(std::move(hooks)) {}

bool PacedSender::StartPaced() {
    std::array<std::uint8_t, model::HeaderSize> header{};
    {
        std::lock_guard l(mutex_);
        if (running_)
            return false;
        running_ = true;
        for (int i = 0; i < model::HeaderSize; ++i)
            header[i] = image_.ImageByte(i);
        sending_.assign(header.begin(), header.end());
        sendPosition_ = model::HeaderSize;
        bytesLeft_ = model::DumpSize - model::HeaderSize;
    }
    if (hooks_.sendPiece)
        hooks_.sendPiece(header.data(), model::HeaderSize);
    return true;
}

void PacedSender::OnTick() {
    std::array<std::uint8_t, LastPieceLimit> piece{};
    int length = 0;
    int left = 0;
    {
        std::unique_lock wire(wireMutex_);
        {
            std::lock_guard l(mutex_);
            // Idle, cancelled, or the last piece is on its way.
            if (!running_ || bytesLeft_ == 0)
                return;
            length = bytesLeft_ > LastPieceLimit ? PieceSize : bytesLeft_;
            for (int i = 0; i < length; ++i)
                piece[i] = image_.ImageByte(sendPosition_ + i);
            sending_.insert(sending_.end(), piece.begin(), piece.begin() + length);
            sendPosition_ += length;
            bytesLeft_ -= length;
            left = bytesLeft_;
        }
        if (hooks_.sendPiece)
            hooks_.sendPiece(piece.data(), length);
    }
    if (left > 0) {
        if (hooks_.progress)
            hooks_.progress(left);
        return;
    }
    if (hooks_.stopTicks)
        hooks_.stopTicks();
    {
        // Only now: a new send must not put its F0 on the wire before this piece's F7.
        std::lock_guard l(mutex_);
        running_ = false;
        lastSent_ = std::move(sending_);
        sending_.clear();
    }
    if (hooks_.progress)
        hooks_.progress(0);
    if (hooks_.finished)
        hooks_.finished();
}

bool PacedSender::SendAtOnce() {
    std::vector<std::uint8_t> bytes;
    {
        std::lock_guard l(mutex_);
        if (running_)
            return false;
        bytes = image_.Bytes();
    }
    if (hooks_.sendPiece)
        hooks_.sendPiece(bytes.data(), static_cast<int>(bytes.size()));
    return true;
}

std::optional<int> PacedSender::Cancel() {
    int sent = 0;
    {
        std::lock_guard l(mutex_);
        if (!running_ || bytesLeft_ == 0)
            return std::nullopt;
        bytesLeft_ = 0; // no tick takes another piece
        sent = sendPosition_;
    }
    // Without a lock: the clock waits for a tick in progress, which may want the wire.
    if (hooks_.stopTicks)
        hooks_.stopTicks();
    {
        std::lock_guard wire(wireMutex_);
        if (hooks_.closeSysEx)
            hooks_.closeSysEx();
    }
    std::lock_guard l(mutex_);
    running_ = false;
    sending_.clear();
    return sent;
}

std::vector<std::uint8_t> PacedSender::LastSent() const {
    std::lock_guard l(mutex_);
    return lastSent_;
}

bool PacedSender::Running() const {
    std::lock_guard l(mutex_);
    return running_;
}

int PacedSender::BytesLeft() const {
    std::lock_guard l(mutex_);
    return bytesLeft_;
}

PacedSender::ApplyResult PacedSender::ApplyReceivedDump(const std::vector<std::uint8_t>& dump) {
    std::lock_guard l(mutex_);
    if (running_) {
        heldDump_ = dump;
        return ApplyResult::Held;
    }
    heldDump_.clear(); // older than this one
    image_.Write(dump.data(), dump.size());
    return ApplyResult::Applied;
}

bool PacedSender::ApplyHeldDump() {
    std::lock_guard l(mutex_);
    if (running_ || heldDump_.empty())
        return false;
    image_.Write(heldDump_.data(), heldDump_.size());
    heldDump_.clear();
    return true;
}

bool PacedSender::HasHeldDump() const {
    std::lock_guard l(mutex_);
    return !heldDump_.empty();
}

} // namespace korv::dump
