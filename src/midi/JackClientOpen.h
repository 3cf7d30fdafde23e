// Opens a JACK client but gives up after a time limit: a wedged server can leave
// jack_client_open waiting for its answer for ever, and nothing of ours may hang on that.
#pragma once

#include <jack/jack.h>

#include <chrono>
#include <string>

namespace korv::midi {

// jack_client_open with `options` (JackServerName is added when `serverName` is not empty).
// Returns nullptr when the open fails or has not finished within `limit`; a client that
// arrives after that is closed again at once.
jack_client_t* OpenJackClientWithin(const std::string& name, jack_options_t options,
                                    const std::string& serverName, std::chrono::milliseconds limit);

} // namespace korv::midi
