// The "Virtual Korvanette" device over every available service. Output fans out to the
// virtual port of each service. Input from several services is merged into one stream: the
// deliveries are serialised, and while one source is inside a SysEx the other's SysEx bytes
// are dropped and its short messages held back, so that neither breaks the other's dump.
#include "MidiBytes.h"
#include "PlatformServices.h"

#include <array>
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

private:
    std::vector<std::unique_ptr<MidiOutputConnection>> outs_;
};

class MergeSink {
public:
    explicit MergeSink(MidiInputSink& target)
        : target_(target) {}

    void shortMessage(int source, std::uint8_t s, std::uint8_t a, std::uint8_t b) {
        std::lock_guard l(mutex_);
        if (!isRealTime(s) && owner_ >= 0 && owner_ != source) {
            if (heldCount_ < held_.size())
                held_[(heldStart_ + heldCount_++) % held_.size()] = {s, a, b};
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
        if (owner_ >= 0 && owner_ != source)
            return;
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

private:
    void releaseHeld() {
        while (heldCount_ > 0) {
            const auto& m = held_[heldStart_];
            target_.shortMessage(m[0], m[1], m[2]);
            heldStart_ = (heldStart_ + 1) % held_.size();
            --heldCount_;
        }
    }

    MidiInputSink& target_;
    std::mutex mutex_;
    int owner_ = -1;
    std::array<std::array<std::uint8_t, 3>, 256> held_{};
    std::size_t heldStart_ = 0;
    std::size_t heldCount_ = 0;
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
    explicit MergedInput(MidiInputSink& target)
        : merge_(target) {}
    ~MergedInput() override { ins_.clear(); } // no delivery after this

    MergeSink merge_;
    std::vector<std::unique_ptr<SourceSink>> sinks_;
    std::vector<std::unique_ptr<MidiInputConnection>> ins_;
};

class VirtualService : public MidiService {
public:
    explicit VirtualService(std::vector<VirtualPortProvider*> providers)
        : providers_(std::move(providers)) {}

    std::string serviceName() const override { return "virtual"; }
    std::vector<std::string> inputNames() override { return {VirtualPortName}; }
    std::vector<std::string> outputNames() override { return {VirtualPortName}; }

    std::unique_ptr<MidiInputConnection> openInput(std::size_t index, MidiInputSink& sink,
                                                   int& error) override {
        if (index != 0) {
            error = OpenNoSuchDevice;
            return nullptr;
        }
        auto merged = std::make_unique<MergedInput>(sink);
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

    std::unique_ptr<MidiOutputConnection> openOutput(std::size_t index, int& error) override {
        if (index != 0) {
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
};

} // namespace

std::unique_ptr<MidiService> makeVirtualService(std::vector<VirtualPortProvider*> providers) {
    return std::make_unique<VirtualService>(std::move(providers));
}

} // namespace korv::midi
