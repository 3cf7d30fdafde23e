#include "ShortMessageInbox.h"

namespace korv::surface {

ShortMessageInbox::ShortMessageInbox(Post post, Handler handle, int capacity)
    : post_(std::move(post))
    , handle_(std::move(handle))
    , capacity_(capacity) {}

void ShortMessageInbox::Receive(std::uint8_t status, std::uint8_t first, std::uint8_t second) {
    if (waiting_.fetch_add(1, std::memory_order_acq_rel) < capacity_) {
        post_([this, status, first, second] { Deliver(status, first, second); });
        return;
    }
    waiting_.fetch_sub(1, std::memory_order_acq_rel);
    dropped_.fetch_add(1, std::memory_order_relaxed);
    // Released with the count above: the notice that takes the flag back sees every drop
    // made before it was raised.
    if (!noticePending_.exchange(true, std::memory_order_acq_rel))
        post_([this] { TellDropped(); });
}

void ShortMessageInbox::Deliver(std::uint8_t status, std::uint8_t first, std::uint8_t second) {
    waiting_.fetch_sub(1, std::memory_order_acq_rel);
    if (handle_)
        handle_(status, first, second);
}

void ShortMessageInbox::TellDropped() {
    noticePending_.exchange(false, std::memory_order_acq_rel);
    if (OnDropped)
        OnDropped(dropped_.load(std::memory_order_relaxed));
}

} // namespace korv::surface
