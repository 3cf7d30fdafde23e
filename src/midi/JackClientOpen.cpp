#include "JackClientOpen.h"

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

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

std::string DefaultJackServerName() {
    const char* env = std::getenv("JACK_DEFAULT_SERVER");
    return env && *env ? env : "default";
}

bool JackServerRunning(const std::string& serverName) {
    // jackd listens on /dev/shm/jack_<server>_<uid>_0 for its clients' requests. A file left
    // by a server that died refuses the connection.
    const std::string path = "/dev/shm/jack_" + serverName + "_" + std::to_string(getuid()) + "_0";
    sockaddr_un addr{};
    if (serverName.empty() || path.size() >= sizeof addr.sun_path)
        return false;
    addr.sun_family = AF_UNIX;
    path.copy(addr.sun_path, path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answered = connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    close(fd);
    return answered;
}

struct JackServerCalls::State {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    int late = 0; // calls given up on, still running
};

JackServerCalls::JackServerCalls()
    : state_(std::make_shared<State>()) {}

bool JackServerCalls::run(std::function<void()> call, std::chrono::milliseconds limit) {
    struct Call {
        bool finished = false;
        bool givenUp = false;
    };
    auto c = std::make_shared<Call>();
    std::thread([state = state_, c, call = std::move(call)] {
        call();
        std::lock_guard l(state->mutex);
        c->finished = true;
        if (c->givenUp)
            --state->late;
        state->changed.notify_all();
    }).detach();
    std::unique_lock l(state_->mutex);
    if (state_->changed.wait_for(l, limit, [&] { return c->finished; }))
        return true;
    c->givenUp = true;
    ++state_->late;
    return false;
}

bool JackServerCalls::anyLate() const {
    std::lock_guard l(state_->mutex);
    return state_->late > 0;
}

void JackServerCalls::waitLate() const {
    std::unique_lock l(state_->mutex);
    state_->changed.wait(l, [&] { return state_->late == 0; });
}

} // namespace korv::midi
