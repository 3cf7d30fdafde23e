#include "JackClientOpen.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace korv::midi {

jack_client_t* OpenJackClientWithin(const std::string& name, jack_options_t options,
                                    const std::string& serverName,
                                    std::chrono::milliseconds limit) {
    struct Attempt {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        bool abandoned = false;
        jack_client_t* client = nullptr;
    };
    auto attempt = std::make_shared<Attempt>();
    // Detached: if the server never answers, the thread stays blocked in libjack until the
    // process ends, which is all that can be done about a call without a time-out.
    std::thread([attempt, name, options, serverName] {
        jack_status_t status{};
        jack_client_t* client =
            serverName.empty()
                ? jack_client_open(name.c_str(), options, &status)
                : jack_client_open(name.c_str(),
                                   static_cast<jack_options_t>(options | JackServerName), &status,
                                   serverName.c_str());
        std::lock_guard l(attempt->mutex);
        attempt->finished = true;
        if (attempt->abandoned) {
            if (client)
                jack_client_close(client);
        } else {
            attempt->client = client;
        }
        attempt->done.notify_all();
    }).detach();
    std::unique_lock l(attempt->mutex);
    if (!attempt->done.wait_for(l, limit, [&] { return attempt->finished; })) {
        attempt->abandoned = true;
        return nullptr;
    }
    return attempt->client;
}

} // namespace korv::midi
