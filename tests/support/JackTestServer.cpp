#include "JackTestServer.h"

#include "JackClientOpen.h"

#include "JackCycleOrder.h"
#include <jack/midiport.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace korv::test {

namespace {

using Clock = std::chrono::steady_clock;

void quiet(const char*) {}

template <class Pred> bool pollUntil(std::chrono::milliseconds timeout, Pred pred) {
    const auto end = Clock::now() + timeout;
    for (;;) {
        if (pred())
            return true;
        if (Clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// A fresh server on a loaded machine now and then never answers a client: give up after a while.
jack_client_t* openClient(const std::string& server, const char* name) {
    return korv::midi::OpenJackClientWithin(
        name, static_cast<jack_options_t>(JackNoStartServer | JackUseExactName), server,
        std::chrono::seconds(5));
}

// JACK keeps at most 8 servers in its registry and frees the entry of a killed server only
// when a server of the same name starts. So the names come from a small pool: a name is taken
// by holding a lock on its file (released by the kernel if the test process dies), and the
// next server of that name reclaims what a killed one left behind.
constexpr int NamePool = 6;

std::string takeName(int& lockFd) {
    const auto end = Clock::now() + std::chrono::seconds(120);
    for (;;) {
        for (int i = 0; i < NamePool; ++i) {
            const std::string name = "korvtest-" + std::to_string(i);
            const std::string lock = "/tmp/" + name + ".lock";
            const int fd = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
            if (fd < 0)
                continue;
            if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
                lockFd = fd;
                return name;
            }
            close(fd);
        }
        if (Clock::now() >= end)
            throw std::runtime_error("no free JACK test server name");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

struct EventHeader {
    std::uint32_t size;
    jack_nframes_t frame;
    std::uint64_t cycle;
    std::int64_t receivedNs;
};

} // namespace

JackTestServer::JackTestServer(std::chrono::milliseconds startTimeout)
    : name_(takeName(lockFd_)) {
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);

    // On a loaded machine a fresh server now and then never lets a client in (its first client
    // notification times out); a new server gets over that, so up to three are tried.
    constexpr int attempts = 3;
    std::string log;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (start(startTimeout / attempts, log))
            return;
    }
    close(lockFd_);
    throw std::runtime_error("jackd did not start:\n" + log);
}

bool JackTestServer::start(std::chrono::milliseconds timeout, std::string& failureLog) {
    const std::string log = "/tmp/" + name_ + ".log";
    const std::string nameArg = name_;
    const char* argv[] = {"jackd", "-S", "--no-realtime", "-n", nameArg.c_str(), "-d", "dummy",
                          "-p",    "64", nullptr};
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        // Only async-signal-safe calls here: the test process has threads.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        setpgid(0, 0);
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
            close(fd);
        }
        execv("/usr/bin/jackd", const_cast<char* const*>(argv));
        execvp("jackd", const_cast<char* const*>(argv));
        _exit(127);
    }

    const bool up = pollUntil(timeout, [&] {
        int wstatus = 0;
        if (waitpid(pid_, &wstatus, WNOHANG) == pid_) {
            pid_ = -1;
            return true;
        }
        if (jack_client_t* probe = openClient(name_, "korvtest-probe")) {
            jack_client_close(probe);
            return true;
        }
        return false;
    });
    if (!up || pid_ < 0) {
        if (pid_ > 0)
            stop(SIGKILL);
        std::ifstream in(log);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        failureLog = text.substr(text.size() > 2000 ? text.size() - 2000 : 0);
        return false;
    }
    if (!getenv("KORV_KEEP_JACK_LOG"))
        std::filesystem::remove(log);
    return true;
}

JackTestServer::~JackTestServer() {
    if (pid_ > 0)
        stop(SIGTERM);
    close(lockFd_); // the name is free again
}

void JackTestServer::kill() {
    if (pid_ > 0)
        stop(SIGKILL);
}

void JackTestServer::freeze() {
    if (pid_ > 0)
        ::kill(pid_, SIGSTOP);
}

void JackTestServer::thaw() {
    if (pid_ > 0)
        ::kill(pid_, SIGCONT);
}

void JackTestServer::stop(int signal) {
    ::kill(pid_, signal);
    int wstatus = 0;
    const bool reaped = pollUntil(std::chrono::seconds(10),
                                  [&] { return waitpid(pid_, &wstatus, WNOHANG) == pid_; });
    if (!reaped) {
        ::kill(pid_, SIGKILL);
        waitpid(pid_, &wstatus, 0);
    }
    pid_ = -1;
    // A killed server leaves its socket and semaphores; its shared memory is reclaimed by the
    // next server that starts.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", ec)) {
        const std::string f = entry.path().filename().string();
        if (f.rfind("jack_" + name_ + "_", 0) == 0 ||
            (f.rfind("jack_sem.", 0) == 0 && f.find("_" + name_ + "_") != std::string::npos))
            std::filesystem::remove(entry.path(), ec);
    }
}

JackPeer::JackPeer(const JackTestServer& server, const std::string& clientName) {
    // A server that has just come up sometimes refuses the first clients for a moment.
    pollUntil(std::chrono::seconds(20), [&] {
        client_ = openClient(server.name(), clientName.c_str());
        return client_ != nullptr;
    });
    if (!client_)
        throw std::runtime_error("peer client could not open on " + server.name());
    in_ = jack_port_register(client_, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    out_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    if (!in_ || !out_)
        throw std::runtime_error("peer ports could not be registered");
    jack_set_process_callback(client_, &JackPeer::process, this);
    if (jack_activate(client_) != 0)
        throw std::runtime_error("peer could not activate");
}

JackPeer::~JackPeer() {
    jack_deactivate(client_);
    jack_client_close(client_);
}

int JackPeer::process(jack_nframes_t frames, void* arg) {
    auto* self = static_cast<JackPeer*>(arg);
    korv::midi::jackCycleBegin();
    const std::uint64_t cycle = self->cycle_.load(std::memory_order_relaxed);
    const jack_nframes_t start = jack_last_frame_time(self->client_);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::int64_t nowNs = static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;

    void* inBuf = jack_port_get_buffer(self->in_, frames);
    const jack_nframes_t count = jack_midi_get_event_count(inBuf);
    for (jack_nframes_t i = 0; i < count; ++i) {
        jack_midi_event_t ev;
        if (jack_midi_event_get(&ev, inBuf, i) != 0)
            continue;
        const EventHeader h{static_cast<std::uint32_t>(ev.size), start + ev.time, cycle, nowNs};
        if (!self->rxRing_.write(&h, sizeof h, ev.buffer, ev.size))
            self->dropped_.fetch_add(1, std::memory_order_relaxed);
    }

    void* outBuf = jack_port_get_buffer(self->out_, frames);
    jack_midi_clear_buffer(outBuf);
    std::uint32_t size = 0;
    while (self->txRing_.peek(&size, sizeof size)) {
        if (self->txRing_.readSpace() < sizeof size + size)
            break;
        jack_midi_data_t* dst = jack_midi_event_reserve(outBuf, 0, size);
        if (!dst)
            break; // no room left in this cycle: next one
        self->txRing_.skip(sizeof size);
        self->txRing_.read(dst, size);
    }
    self->cycle_.store(cycle + 1, std::memory_order_release);
    korv::midi::jackCycleEnd();
    return 0;
}

std::string JackPeer::inPort() const {
    return jack_port_name(in_);
}
std::string JackPeer::outPort() const {
    return jack_port_name(out_);
}

std::vector<std::string> JackPeer::midiPorts(unsigned long flags) const {
    std::vector<std::string> names;
    if (const char** ports = jack_get_ports(client_, nullptr, JACK_DEFAULT_MIDI_TYPE, flags)) {
        for (const char** p = ports; *p; ++p)
            names.emplace_back(*p);
        jack_free(ports);
    }
    return names;
}

bool JackPeer::connect(const std::string& source, const std::string& destination) {
    const int r = jack_connect(client_, source.c_str(), destination.c_str());
    return r == 0 || r == EEXIST;
}

bool JackPeer::disconnect(const std::string& source, const std::string& destination) {
    return jack_disconnect(client_, source.c_str(), destination.c_str()) == 0;
}

bool JackPeer::waitPort(const std::string& port, std::chrono::milliseconds timeout) const {
    return pollUntil(timeout, [&] { return jack_port_by_name(client_, port.c_str()) != nullptr; });
}

bool JackPeer::waitConnected(const std::string& port, std::chrono::milliseconds timeout) const {
    return pollUntil(timeout, [&] {
        jack_port_t* p = jack_port_by_name(client_, port.c_str());
        return p && jack_port_connected(p) > 0;
    });
}

bool JackPeer::waitConnected(const std::string& a, const std::string& b,
                             std::chrono::milliseconds timeout) const {
    return pollUntil(timeout, [&] {
        jack_port_t* p = jack_port_by_name(client_, a.c_str());
        return p && jack_port_connected_to(p, b.c_str()) > 0;
    });
}

bool JackPeer::send(const std::vector<std::uint8_t>& bytes) {
    std::lock_guard l(mutex_);
    const auto size = static_cast<std::uint32_t>(bytes.size());
    return txRing_.write(&size, sizeof size, bytes.data(), size);
}

jack_nframes_t JackPeer::frameTime() const {
    return jack_frame_time(client_);
}

void JackPeer::drain() {
    EventHeader h{};
    while (rxRing_.peek(&h, sizeof h) && rxRing_.readSpace() >= sizeof h + h.size) {
        rxRing_.skip(sizeof h);
        Event e;
        e.bytes.resize(h.size);
        rxRing_.read(e.bytes.data(), h.size);
        e.frame = h.frame;
        e.cycle = h.cycle;
        e.receivedNs = h.receivedNs;
        receivedBytes_ += h.size;
        events_.push_back(std::move(e));
    }
}

std::vector<JackPeer::Event> JackPeer::events() {
    std::lock_guard l(mutex_);
    drain();
    return events_;
}

std::vector<std::uint8_t> JackPeer::receivedBytes() {
    std::lock_guard l(mutex_);
    drain();
    std::vector<std::uint8_t> all;
    for (const auto& e : events_)
        all.insert(all.end(), e.bytes.begin(), e.bytes.end());
    return all;
}

std::size_t JackPeer::receivedCount() {
    std::lock_guard l(mutex_);
    drain();
    return receivedBytes_;
}

void JackPeer::clear() {
    std::lock_guard l(mutex_);
    drain();
    events_.clear();
    receivedBytes_ = 0;
}

bool JackPeer::waitForBytes(std::size_t count, std::chrono::milliseconds timeout) {
    return pollUntil(timeout, [&] { return receivedCount() >= count; });
}

} // namespace korv::test
