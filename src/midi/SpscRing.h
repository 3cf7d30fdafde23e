// A lock-free byte ring for one producer thread and one consumer thread, used between JACK's
// real-time process callback and ordinary threads: no lock, no allocation after construction,
// never blocks. Messages are written whole (header and body published together).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace korv::midi {

class SpscRing {
public:
    // `capacity` is rounded up to a power of two.
    explicit SpscRing(std::size_t capacity) {
        std::size_t size = 1;
        while (size < capacity)
            size <<= 1;
        buf_ = std::make_unique<std::uint8_t[]>(size);
        mask_ = size - 1;
    }

    std::size_t capacity() const { return mask_ + 1; }
    // Producer side.
    std::size_t writeSpace() const {
        return capacity() -
               (head_.load(std::memory_order_relaxed) - tail_.load(std::memory_order_acquire));
    }
    // Consumer side.
    std::size_t readSpace() const {
        return head_.load(std::memory_order_acquire) - tail_.load(std::memory_order_relaxed);
    }

    // Appends `a` then `b` as one message, or nothing if they do not fit.
    bool write(const void* a, std::size_t an, const void* b = nullptr, std::size_t bn = 0) {
        if (writeSpace() < an + bn)
            return false;
        const std::size_t head = head_.load(std::memory_order_relaxed);
        copyIn(head, a, an);
        copyIn(head + an, b, bn);
        head_.store(head + an + bn, std::memory_order_release);
        return true;
    }

    // Copies the next `n` bytes without taking them; false if fewer are there.
    bool peek(void* dst, std::size_t n) const {
        if (readSpace() < n)
            return false;
        copyOut(tail_.load(std::memory_order_relaxed), dst, n);
        return true;
    }
    bool read(void* dst, std::size_t n) {
        if (!peek(dst, n))
            return false;
        skip(n);
        return true;
    }
    void skip(std::size_t n) {
        tail_.store(tail_.load(std::memory_order_relaxed) + n, std::memory_order_release);
    }
    // Empties the ring; only while neither side uses it.
    void reset() { tail_.store(head_.load(std::memory_order_acquire), std::memory_order_release); }

private:
    void copyIn(std::size_t pos, const void* src, std::size_t n) {
        if (n == 0)
            return;
        const std::size_t at = pos & mask_;
        const std::size_t first = n < capacity() - at ? n : capacity() - at;
        std::memcpy(buf_.get() + at, src, first);
        std::memcpy(buf_.get(), static_cast<const std::uint8_t*>(src) + first, n - first);
    }
    void copyOut(std::size_t pos, void* dst, std::size_t n) const {
        if (n == 0)
            return;
        const std::size_t at = pos & mask_;
        const std::size_t first = n < capacity() - at ? n : capacity() - at;
        std::memcpy(dst, buf_.get() + at, first);
        std::memcpy(static_cast<std::uint8_t*>(dst) + first, buf_.get(), n - first);
    }

    std::unique_ptr<std::uint8_t[]> buf_;
    std::size_t mask_ = 0;
    alignas(64) std::atomic<std::size_t> head_{0}; // bytes ever written; producer
    alignas(64) std::atomic<std::size_t> tail_{0}; // bytes ever read; consumer
};

} // namespace korv::midi
