// Calls into the JACK client library that never hang the caller: the client open, the calls
// that wait on the server's answer, and a look for a running server that uses no JACK code.
// A stopped (not dead) server answers nothing, and libjack's calls have no time-out of their own.
#pragma once

#include <jack/jack.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace korv::midi {

// jack_client_open with `options` (JackServerName is added when `serverName` is not empty).
// Returns nullptr when the open fails or has not finished within `limit`; a client that
// arrives after that is closed again at once.
jack_client_t* OpenJackClientWithin(const std::string& name, jack_options_t options,
                                    const std::string& serverName, std::chrono::milliseconds limit);

// The server a client would talk to: JACK_DEFAULT_SERVER, else "default".
std::string DefaultJackServerName();

// True when a JACK server of that name runs for this user: its request socket accepts a
// connection. Calls nothing of libjack, so damaged JACK files cannot hurt a program that only
// looks.
bool JackServerRunning(const std::string& serverName);

// Runs calls that wait on the server, each on a thread of its own with a time limit. A call
// whose caller gave up runs on alone until the server answers or dies, so it must own (copy)
// what it uses.
class JackServerCalls {
public:
    JackServerCalls();
    // True when `call` finished within `limit`.
    bool run(std::function<void()> call, std::chrono::milliseconds limit);
    // A call given up on is still running: the server does not answer.
    bool anyLate() const;
    // Waits until every call given up on has returned.
    void waitLate() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace korv::midi
