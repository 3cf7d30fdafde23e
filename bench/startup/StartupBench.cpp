// Start-up time and own memory of X11 programs, measured from outside:
//   startup_bench RUNS "NAME|TITLE|COMMAND" ["NAME|TITLE|COMMAND"...]
// Each run forks and execs COMMAND (split at blanks) and times from the fork to the X server's
// MapNotify of the program's main window: a top-level window whose title holds TITLE and whose
// _NET_WM_PID, if set, is the child's (no window manager runs, so top-levels are children of
// the root; splash screens and helper windows are passed over). One second later the
// proportional set size is summed from /proc/PID/smaps, once whole and once without the JACK
// server's shared memory (/dev/shm/jack*), which every JACK client maps and which is not the
// client's own. The programs take turns run by run; a first, discarded round warms the caches.
// Prints one "RESULT name median_ms p90_ms own_pss_kB whole_pss_kB jack_shm_kB runs private_kB"
// line each; private_kB (pages mapped by this process alone) does not depend on how many other
// processes share the libraries at that moment, as PSS does.
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Program {
    std::string name;
    std::string title;
    std::vector<std::string> argv;
    std::vector<double> startupMs;
    std::vector<long> ownKb, wholeKb, jackKb, privateKb;
};

struct Memory {
    long whole = 0;
    long jack = 0;
    long privateKb = 0; // pages of this process alone, outside the JACK segments
};

Memory memoryOf(pid_t pid) {
    std::ifstream smaps("/proc/" + std::to_string(pid) + "/smaps");
    Memory m;
    std::string line;
    bool jackMapping = false;
    while (std::getline(smaps, line)) {
        // Field lines start with a name and a colon; every other line opens a mapping.
        const auto firstBlank = line.find(' ');
        if (firstBlank == std::string::npos || firstBlank == 0 || line[firstBlank - 1] != ':') {
            jackMapping = line.find("/dev/shm/jack") != std::string::npos;
            continue;
        }
        if (!jackMapping &&
            (line.rfind("Private_Clean:", 0) == 0 || line.rfind("Private_Dirty:", 0) == 0))
            m.privateKb += std::strtol(line.c_str() + line.find(':') + 1, nullptr, 10);
        if (line.rfind("Pss:", 0) == 0) {
            const long kb = std::strtol(line.c_str() + 4, nullptr, 10);
            m.whole += kb;
            if (jackMapping)
                m.jack += kb;
        }
    }
    return m;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    auto* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

std::string textProperty(xcb_connection_t* c, xcb_window_t w, xcb_atom_t property) {
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
    std::string text;
    if (reply)
        text.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                    std::size_t(xcb_get_property_value_length(reply)));
    std::free(reply);
    return text;
}

// The pid a window says it belongs to, or -1 when it does not say.
long pidOf(xcb_connection_t* c, xcb_window_t w, xcb_atom_t netWmPid) {
    auto* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, netWmPid, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    long pid = -1;
    if (reply && xcb_get_property_value_length(reply) >= 4)
        pid = *static_cast<std::uint32_t*>(xcb_get_property_value(reply));
    std::free(reply);
    return pid;
}

void stop(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

bool runOnce(xcb_connection_t* c, const xcb_atom_t (&atoms)[2], Program& p, bool keep) {
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (auto& a : p.argv)
            args.push_back(a.data());
        args.push_back(nullptr);
        if (FILE* null = std::fopen("/dev/null", "w")) {
            dup2(fileno(null), 1);
            dup2(fileno(null), 2);
        }
        execvp(args[0], args.data());
        _exit(127);
    }
    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    bool shown = false;
    while (!shown) {
        const auto left = std::chrono::seconds(30) - (Clock::now() - start);
        if (left <= Clock::duration::zero() || waitpid(pid, nullptr, WNOHANG) == pid)
            break;
        poll(&fd, 1, 50);
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            if ((e->response_type & 0x7F) == XCB_MAP_NOTIFY) {
                auto* map = reinterpret_cast<xcb_map_notify_event_t*>(e);
                const long owner = pidOf(c, map->window, atoms[0]);
                const bool titled =
                    textProperty(c, map->window, XCB_ATOM_WM_NAME).find(p.title) !=
                        std::string::npos ||
                    textProperty(c, map->window, atoms[1]).find(p.title) != std::string::npos;
                if (!map->override_redirect && (owner == pid || owner == -1) && titled)
                    shown = true;
            }
            std::free(e);
        }
    }
    const auto shownAt = Clock::now();
    if (!shown) {
        std::fprintf(stderr, "%s: no window within 30 s\n", p.name.c_str());
        stop(pid);
        return false;
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const Memory m = memoryOf(pid);
    stop(pid);
    while (xcb_generic_event_t* e = xcb_poll_for_event(c))
        std::free(e);
    if (keep) {
        p.startupMs.push_back(std::chrono::duration<double, std::milli>(shownAt - start).count());
        p.wholeKb.push_back(m.whole);
        p.jackKb.push_back(m.jack);
        p.ownKb.push_back(m.whole - m.jack);
        p.privateKb.push_back(m.privateKb);
    }
    return true;
}

template <typename T> double quantile(std::vector<T> v, double q) {
    std::sort(v.begin(), v.end());
    return double(v[std::size_t(q * double(v.size() - 1) + 0.5)]);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUNS NAME|TITLE|COMMAND...\n", argv[0]);
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) {
        const std::string spec = argv[i];
        const auto bar1 = spec.find('|');
        const auto bar2 = spec.find('|', bar1 + 1);
        if (bar1 == std::string::npos || bar2 == std::string::npos)
            return 2;
        Program p{spec.substr(0, bar1), spec.substr(bar1 + 1, bar2 - bar1 - 1), {}, {}, {}, {}, {}, {}};
        std::istringstream words(spec.substr(bar2 + 1));
        for (std::string w; words >> w;)
            p.argv.push_back(w);
        programs.push_back(std::move(p));
    }

    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t atoms[2] = {atom(c, "_NET_WM_PID"), atom(c, "_NET_WM_NAME")};
    xcb_flush(c);

    for (int round = 0; round <= runs; ++round)
        for (Program& p : programs)
            runOnce(c, atoms, p, round > 0);

    for (const Program& p : programs) {
        if (p.startupMs.empty()) {
            std::printf("RESULT %s failed\n", p.name.c_str());
            continue;
        }
        std::printf("RESULT %s %.1f %.1f %.0f %.0f %.0f %zu %.0f\n", p.name.c_str(),
                    quantile(p.startupMs, 0.5), quantile(p.startupMs, 0.9), quantile(p.ownKb, 0.5),
                    quantile(p.wholeKb, 0.5), quantile(p.jackKb, 0.5), p.startupMs.size(),
                    quantile(p.privateKb, 0.5));
    }
    xcb_disconnect(c);
    return 0;
}
