// JACK runs the process callbacks of connected clients one after the other and hands MIDI port
// buffers from one to the next in shared memory, ordered by futexes inside libjack that
// ThreadSanitizer cannot see. Process callbacks mark their start and end with these calls so
// that it sees that order; they compile to nothing in other builds.
#pragma once

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);

namespace korv::midi {
inline char jackCycleToken;
inline void jackCycleBegin() {
    __tsan_acquire(&jackCycleToken);
}
inline void jackCycleEnd() {
    __tsan_release(&jackCycleToken);
}
} // namespace korv::midi
#else
namespace korv::midi {
inline void jackCycleBegin() {}
inline void jackCycleEnd() {}
} // namespace korv::midi
#endif
