#include "LoopbackService.h"

#include "MidiStreamParser.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <thread>

namespace korv::midi {

namespace {

struct InputDevice {
    std::string name;
    MidiInputSink* sink = nullptr; // set while open
    MidiStreamParser parser;
    std::uint64_t generation = 0; // bumped on every open and close
};

struct OutputDevice {
    std::string name;
    bool open = false;
    std::vector<std::uint8_t> bytes;
    std::vector<std::vector<std::uint8_t>> messages;
};

struct Item {
    std::size_t input;
    std::uint64_t generation;
    std::vector<std::uint8_t> bytes;
};

} // namespace

struct LoopbackService::Impl {
    mutable std::mutex mutex; // devices, queue
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<InputDevice> inputs;
    std::deque<OutputDevice> outputs;
    std::map<std::string, int> failures;
    std::deque<Item> queue;
    bool busy = false;
    bool stop = false;

    // Held while a sink is called, so that closing an input can wait for a delivery to end.
    std::mutex deliverMutex;
    std::thread thread;

    void run() {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [&] { return stop || !queue.empty(); });
            if (stop)
                return;
            Item item = std::move(queue.front());
            queue.pop_front();
            busy = true;
            lock.unlock();
            {
                std::lock_guard deliver(deliverMutex);
                InputDevice* dev = nullptr;
                {
                    std::lock_guard l(mutex);
                    InputDevice& in = inputs[item.input];
                    if (in.sink && in.generation == item.generation)
                        dev = &in;
                }
                // The device stays open while deliverMutex is held (closing takes it).
                if (dev)
                    dev->parser.feed(item.bytes.data(), item.bytes.size(), *dev->sink);
            }
            lock.lock();
            busy = false;
            if (queue.empty())
                idle.notify_all();
        }
    }

    class Input : public MidiInputConnection {
    public:
        Input(Impl& s, std::size_t i)
            : s_(s)
            , i_(i) {}
        ~Input() override {
            // A handler may close its own port from the delivery thread.
            std::unique_lock<std::mutex> deliver;
            if (std::this_thread::get_id() != s_.thread.get_id())
                deliver = std::unique_lock(s_.deliverMutex);
            std::lock_guard l(s_.mutex);
            s_.inputs[i_].sink = nullptr;
            ++s_.inputs[i_].generation;
        }

    private:
        Impl& s_;
        std::size_t i_;
    };

    class Output : public MidiOutputConnection {
    public:
        Output(Impl& s, std::size_t i)
            : s_(s)
            , i_(i) {}
        ~Output() override {
            std::lock_guard l(s_.mutex);
            s_.outputs[i_].open = false;
        }
        void sendShort(const std::uint8_t* data, std::size_t length) override {
            record(data, length);
        }
        bool sendSysEx(const std::uint8_t* data, std::size_t length) override {
            record(data, length);
            return true;
        }

    private:
        void record(const std::uint8_t* data, std::size_t length) {
            std::lock_guard l(s_.mutex);
            OutputDevice& out = s_.outputs[i_];
            out.bytes.insert(out.bytes.end(), data, data + length);
            out.messages.emplace_back(data, data + length);
        }
        Impl& s_;
        std::size_t i_;
    };
};

LoopbackService::LoopbackService()
    : d(std::make_unique<Impl>()) {
    d->thread = std::thread([this] { d->run(); });
}

LoopbackService::~LoopbackService() {
    {
        std::lock_guard l(d->mutex);
        d->stop = true;
    }
    d->wake.notify_all();
    d->thread.join();
}

std::size_t LoopbackService::addInput(std::string name) {
    std::lock_guard l(d->mutex);
    d->inputs.emplace_back().name = std::move(name);
    return d->inputs.size() - 1;
}

std::size_t LoopbackService::addOutput(std::string name) {
    std::lock_guard l(d->mutex);
    d->outputs.emplace_back().name = std::move(name);
    return d->outputs.size() - 1;
}

void LoopbackService::setOpenFailure(const std::string& name, int error) {
    std::lock_guard l(d->mutex);
    if (error == 0)
        d->failures.erase(name);
    else
        d->failures[name] = error;
}

bool LoopbackService::inject(std::size_t input, const std::vector<std::uint8_t>& bytes) {
    {
        std::lock_guard l(d->mutex);
        if (input >= d->inputs.size() || !d->inputs[input].sink)
            return false;
        d->queue.push_back(Item{input, d->inputs[input].generation, bytes});
    }
    d->wake.notify_all();
    return true;
}

void LoopbackService::flush() {
    std::unique_lock l(d->mutex);
    d->idle.wait(l, [&] { return d->queue.empty() && !d->busy; });
}

std::vector<std::uint8_t> LoopbackService::sent(std::size_t output) const {
    std::lock_guard l(d->mutex);
    return output < d->outputs.size() ? d->outputs[output].bytes : std::vector<std::uint8_t>{};
}

std::vector<std::vector<std::uint8_t>> LoopbackService::sentMessages(std::size_t output) const {
    std::lock_guard l(d->mutex);
    return output < d->outputs.size() ? d->outputs[output].messages
                                      : std::vector<std::vector<std::uint8_t>>{};
}

void LoopbackService::clearSent(std::size_t output) {
    std::lock_guard l(d->mutex);
    if (output < d->outputs.size()) {
        d->outputs[output].bytes.clear();
        d->outputs[output].messages.clear();
    }
}

std::string LoopbackService::serviceName() const {
    return "loopback";
}

std::vector<std::string> LoopbackService::inputNames() {
    std::lock_guard l(d->mutex);
    std::vector<std::string> names;
    for (const auto& in : d->inputs)
        names.push_back(in.name);
    return names;
}

std::vector<std::string> LoopbackService::outputNames() {
    std::lock_guard l(d->mutex);
    std::vector<std::string> names;
    for (const auto& out : d->outputs)
        names.push_back(out.name);
    return names;
}

namespace {
template <class Devices> std::size_t indexOf(const Devices& devices, const std::string& name) {
    std::size_t i = 0;
    while (i < devices.size() && devices[i].name != name)
        ++i;
    return i;
}
} // namespace

std::unique_ptr<MidiInputConnection> LoopbackService::openInput(const std::string& name,
                                                                MidiInputSink& sink, int& error) {
    std::lock_guard l(d->mutex);
    const std::size_t index = indexOf(d->inputs, name);
    if (index >= d->inputs.size()) {
        error = OpenNoSuchDevice;
        return nullptr;
    }
    InputDevice& in = d->inputs[index];
    if (auto f = d->failures.find(in.name); f != d->failures.end()) {
        error = f->second;
        return nullptr;
    }
    if (in.sink) {
        error = OpenRefused;
        return nullptr;
    }
    in.sink = &sink;
    in.parser.reset();
    ++in.generation;
    error = OpenOk;
    return std::make_unique<Impl::Input>(*d, index);
}

std::unique_ptr<MidiOutputConnection> LoopbackService::openOutput(const std::string& name,
                                                                  int& error) {
    std::lock_guard l(d->mutex);
    const std::size_t index = indexOf(d->outputs, name);
    if (index >= d->outputs.size()) {
        error = OpenNoSuchDevice;
        return nullptr;
    }
    OutputDevice& out = d->outputs[index];
    if (auto f = d->failures.find(out.name); f != d->failures.end()) {
        error = f->second;
        return nullptr;
    }
    if (out.open) {
        error = OpenRefused;
        return nullptr;
    }
    out.open = true;
    out.bytes.clear();
    out.messages.clear();
    error = OpenOk;
    return std::make_unique<Impl::Output>(*d, index);
}

} // namespace korv::midi
