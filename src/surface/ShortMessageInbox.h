// Takes the short messages of the MIDI input thread to the GUI thread one by one, in arrival
// order, with a cap on how many may wait: when the window falls behind, further messages are
// dropped and counted instead of piling up, and the MIDI thread never waits.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace korv::surface {

class ShortMessageInbox {
public:
    // Hands work to the GUI thread (in order); called on the MIDI thread.
    using Post = std::function<void(std::function<void()>)>;
    using Handler =
        std::function<void(std::uint8_t status, std::uint8_t first, std::uint8_t second)>;

    static constexpr int DefaultCapacity = 2048;

    // `handle` runs on the GUI thread for every message let through. Must outlive every posted
    // message that can still run.
    ShortMessageInbox(Post post, Handler handle, int capacity = DefaultCapacity);

    // MIDI thread.
    void Receive(std::uint8_t status, std::uint8_t first, std::uint8_t second);
    // Messages dropped since the start, any thread.
    std::uint64_t Dropped() const { return dropped_.load(std::memory_order_relaxed); }

    // GUI thread, once the messages that waited before a drop have been handled: the total
    // dropped so far. Raised again after further drops.
    std::function<void(std::uint64_t dropped)> OnDropped;

private:
    void Deliver(std::uint8_t status, std::uint8_t first, std::uint8_t second);
    void TellDropped();

    Post post_;
    Handler handle_;
    const int capacity_;
    std::atomic<int> waiting_{0};
    std::atomic<std::uint64_t> dropped_{0};
    // A notice of drops is on its way: one at a time, so the notices cannot pile up either.
    std::atomic<bool> noticePending_{false};
};

} // namespace korv::surface
