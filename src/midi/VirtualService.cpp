// The "Virtual Korvanette" device over every available service. Output fans out to the
// virtual port of each service. Input from several services is merged into one stream: the
// deliveries are serialised, and while one source is inside a SysEx the other's SysEx bytes
// are dropped and its short messages held back, so that neither breaks the other's dump. A source
// that falls silent inside a SysEx loses the merge after a pause.
#include "MidiBytes.h"
#include "PlatformServices.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <mutex>

namespace korv::midi {

namespace {

class FanOutConnection : public MidiOutputConnection {
public:
    explicit FanOutConnection(std::vector<std::unique_ptr<MidiOutputConnection>> outs)
        : outs_(std::move(outs)) {}
    void sendShort(const std::uint8_t* data, std::size_t length) override {
        for (auto& o : outs_)
            o->sendShort(data, length);
    }
    bool sendSysEx(const std::uint8_t* data, std::size_t length) override {
        bool any = false;
        for (auto& o : outs_)
            any = o->sendSysEx(data, length) || any;
        return any;
    }
    void reset() override {
        for (auto& o : outs_)
            o->reset();
    }
    // A message lost on the way to one of the services counts, even where another took it.
    std::uint64_t lost() const override {
        std::uint64_t n = 0;
        for (const auto& o : outs_)
            n += o->lost();
        return n;
    }
    std::uint64_t drain() override {
        std::uint64_t n = 0;
        for (auto& o : outs_)
            n += o->drain();
        return n;
    }
    Link link() const override {
        Link l = Link::Fine;
        for (const auto& o : outs_)
            l = WorseLink(l, o->link());
        return l;
    }

private:
    std::vector<std::unique_ptr<MidiOutputConnection>> outs_;
};

using Clock = std::chrono::steady_clock;

class MergeSink {
public:
    MergeSink(MidiInputSink& target, std::chrono::milliseconds silence)
        : target_(target)
        , silence_(silence) {}

    void shortMessage(int source, std::uint8_t s, std::uint8_t a, std::uint8_t b) {
        std::lock_guard l(mutex_);
        heard(source);
        if (!isRealTime(s) && owner_ >= 0 && owner_ != source) {
            if (heldCount_ < held_.size())
                held_[(heldStart_ + heldCount_++) % held_.size()] = {s, a, b};
            else
                ++lost_;
            return;
        }
        if (!isRealTime(s) && owner_ == source)
            owner_ = -1; // its SysEx was broken off
        target_.shortMessage(s, a, b);
        if (owner_ < 0)
            releaseHeld();
    }

    void sysExBytes(int source, const std::uint8_t* data, std::size_t length) {
        std::lock_guard l(mutex_);
        heard(source);
        if (owner_ >= 0 && owner_ != source) {
            // Another source's dump is coming in: this message cannot be passed on whole.
            lost_ += static_cast<std::uint64_t>(std::count(data, data + length, SysExStart));
            return;
        }
        for (std::size_t i = 0; i < length; ++i) {
            if (data[i] == SysExStart)
                owner_ = source;
            else if (data[i] == SysExEnd)
                owner_ = -1;
        }
        target_.sysExBytes(data, length);
        if (owner_ < 0)
            releaseHeld();
    }

    // Messages dropped by the merge: a second source's SysEx while another one came in, and
    // short messages past the held queue's capacity. Any thread.
    std::uint64_t lost() const { return lost_.load(std::memory_order_relaxed); }

private:
    // The owner of an unfinished SysEx that has sent nothing for the pause loses the merge;
    // the receiver drops its unfinished message when the next one begins.
    void heard(int source) {
        const auto now = Clock::now();
        if (owner_ == source) {
            ownerHeard_ = now;
        } else if (owner_ >= 0 && now - ownerHeard_ >= silence_) {
            owner_ = -1;
            releaseHeld();
        }
        if (owner_ < 0)
            ownerHeard_ = now; // for the next owner
    }

    void releaseHeld() {
        while (heldCount_ > 0) {
            const auto& m = held_[heldStart_];
            target_.shortMessage(m[0], m[1], m[2]);
            heldStart_ = (heldStart_ + 1) % held_.size();
            --heldCount_;
        }
    }

    MidiInputSink& target_;
    const std::chrono::milliseconds silence_;
    std::mutex mutex_;
    int owner_ = -1;
    Clock::time_point ownerHeard_; // when the owner last sent something
    std::array<std::array<std::uint8_t, 3>, 256> held_{};
    std::size_t heldStart_ = 0;
    std::size_t heldCount_ = 0;
    std::atomic<std::uint64_t> lost_{0};
};

class SourceSink : public MidiInputSink {
public:
    SourceSink(MergeSink& merge, int source)
        : merge_(merge)
        , source_(source) {}
    void shortMessage(std::uint8_t s, std::uint8_t a, std::uint8_t b) override {
        merge_.shortMessage(source_, s, a, b);
    }
    void sysExBytes(const std::uint8_t* data, std::size_t length) override {
        merge_.sysExBytes(source_, data, length);
    }

private:
    MergeSink& merge_;
    int source_;
};

class MergedInput : public MidiInputConnection {
public:
    MergedInput(MidiInputSink& target, std::chrono::milliseconds silence)
        : merge_(target, silence) {}
    ~MergedInput() override { ins_.clear(); } // no delivery after this
    std::uint64_t lost() const override {
        std::uint64_t n = merge_.lost();
        for (const auto& in : ins_)
            n += in->lost();
        return n;
    }
    Link link() const override {
        Link l = Link::Fine;
        for (const auto& in : ins_)
            l = WorseLink(l, in->link());
        return l;
    }

    MergeSink merge_;
    std::vector<std::unique_ptr<SourceSink>> sinks_;
    std::vector<std::unique_ptr<MidiInputConnection>> ins_;
};

class VirtualService : public MidiService {
public:
    VirtualService(std::vector<VirtualPortProvider*> providers, std::chrono::milliseconds silence)
        : providers_(std::move(providers))
        , silence_(silence) {}

    std::string serviceName() const override { return "virtual"; }
    std::vector<std::string> inputNames() override { return {VirtualPortName}; }
    std::vector<std::string> outputNames() override { return {VirtualPortName}; }

    std::unique_ptr<MidiInputConnection> openInput(const std::string& name, MidiInputSink& sink,
                                                   int& error) override {
        if (name != VirtualPortName) {
            error = OpenNoSuchDevice;
            return nullptr;
        }
        auto merged = std::make_unique<MergedInput>(sink, silence_);
        int lastError = OpenServiceGone;
        for (auto* p : providers_) {
            auto s = std::make_unique<SourceSink>(merged->merge_,
                                                  static_cast<int>(merged->sinks_.size()));
            int e = OpenOk;
            if (auto in = p->openVirtualInput(*s, e)) {
                merged->ins_.push_back(std::move(in));
                merged->sinks_.push_back(std::move(s));
            } else {
                lastError = e ? e : OpenRefused;
            }
        }
        if (merged->ins_.empty()) {
            error = lastError;
            return nullptr;
        }
        error = OpenOk;
        return merged;
    }

    std::unique_ptr<MidiOutputConnection> openOutput(const std::string& name, int& error) override {
        if (name != VirtualPortName) {
            error = OpenNoSuchDevice;
            return nullptr;
        }
        std::vector<std::unique_ptr<MidiOutputConnection>> outs;
        int lastError = OpenServiceGone;
        for (auto* p : providers_) {
            int e = OpenOk;
            if (auto out = p->openVirtualOutput(e))
                outs.push_back(std::move(out));
            else
                lastError = e ? e : OpenRefused;
        }
        if (outs.empty()) {
            error = lastError;
            return nullptr;
        }
        error = OpenOk;
        return std::make_unique<FanOutConnection>(std::move(outs));
    }

private:
    std::vector<VirtualPortProvider*> providers_;
    std::chrono::milliseconds silence_;
};

} // namespace

std::unique_ptr<MidiService> makeVirtualService(std::vector<VirtualPortProvider*> providers,
                                                std::chrono::milliseconds silence) {
    return std::make_unique<VirtualService>(std::move(providers), silence);
}

} // namespace korv::midi
