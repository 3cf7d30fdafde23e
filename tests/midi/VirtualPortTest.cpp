// The "Virtual Korvanette" device over several services: output reaches every service's
// virtual port, and input from all of them is merged without one breaking the other's dump.
#include "PlatformServices.h"
#include "TMidiIn.h"
#include "TMidiOut.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace korv::midi;
using Bytes = std::vector<std::uint8_t>;

namespace {

class FakeProvider : public VirtualPortProvider {
public:
    struct Out : MidiOutputConnection {
        explicit Out(FakeProvider& p)
            : p_(p) {}
        void sendShort(const std::uint8_t* d, std::size_t n) override {
            p_.sent.insert(p_.sent.end(), d, d + n);
        }
        bool sendSysEx(const std::uint8_t* d, std::size_t n) override {
            p_.sent.insert(p_.sent.end(), d, d + n);
            return true;
        }
        std::uint64_t lost() const override { return p_.lost; }
        std::uint64_t drain() override { return p_.leftAtClose; }
        FakeProvider& p_;
    };
    struct In : MidiInputConnection {
        explicit In(FakeProvider& p)
            : p_(p) {}
        ~In() override { p_.sink = nullptr; }
        FakeProvider& p_;
    };

    std::unique_ptr<MidiInputConnection> openVirtualInput(MidiInputSink& s, int& error) override {
        if (failing) {
            error = OpenServiceGone;
            return nullptr;
        }
        sink = &s;
        error = OpenOk;
        return std::make_unique<In>(*this);
    }
    std::unique_ptr<MidiOutputConnection> openVirtualOutput(int& error) override {
        if (failing) {
            error = OpenServiceGone;
            return nullptr;
        }
        error = OpenOk;
        return std::make_unique<Out>(*this);
    }

    void deliver(const Bytes& sysex) { sink->sysExBytes(sysex.data(), sysex.size()); }
    void deliverShort(std::uint8_t s, std::uint8_t a, std::uint8_t b) {
        sink->shortMessage(s, a, b);
    }

    bool failing = false;
    std::uint64_t lost = 0;        // what the service's output could not carry
    std::uint64_t leftAtClose = 0; // what its close gives up on
    MidiInputSink* sink = nullptr;
    Bytes sent;
};

} // namespace

TEST(VirtualPort, OutputReachesEveryServiceAndSurvivesOneMissing) {
    FakeProvider alsa, jack;
    auto virt = makeVirtualService({&alsa, &jack});
    MidiSystem system({virt.get()});
    TMidiOut out(system);
    EXPECT_EQ(out.DeviceName(0), "Virtual Korvanette");
    out.SetUsing(true);
    out.Put(0xB0, 1, 2);
    EXPECT_EQ(alsa.sent, (Bytes{0xB0, 1, 2}));
    EXPECT_EQ(jack.sent, (Bytes{0xB0, 1, 2}));
    // What one service lost or left behind at the close is told for the whole device.
    alsa.lost = 3;
    jack.lost = 4;
    EXPECT_EQ(out.Lost(), 7u);
    jack.leftAtClose = 2;
    out.SetUsing(false);
    EXPECT_EQ(out.CloseResult(), CloseLostMessages);
    EXPECT_EQ(out.Lost(), 9u);
    alsa.lost = jack.lost = jack.leftAtClose = 0;

    jack.failing = true;
    out.SetUsing(true);
    EXPECT_EQ(out.OpenResult(), 0);
    alsa.failing = true;
    out.SetUsing(false);
    out.SetUsing(true);
    EXPECT_EQ(out.OpenResult(), OpenServiceGone);
}

TEST(VirtualPort, MergedInputKeepsADumpWholeWhileTheOtherServiceTalks) {
    FakeProvider alsa, jack;
    auto virt = makeVirtualService({&alsa, &jack});
    MidiSystem system({virt.get()});
    TMidiIn in(system);
    std::vector<Bytes> events;
    in.OnShort = [&](TMidiIn&, std::uint8_t s, std::uint8_t a, std::uint8_t b) {
        events.push_back({s, a, b});
    };
    in.OnSysEx = [&](TMidiIn&, const std::uint8_t* d, int n) { events.emplace_back(d, d + n); };
    in.SetUsing(true);
    ASSERT_EQ(in.OpenResult(), 0);

    alsa.deliver({0xF0, 0x00, 0x00, 0x7E});
    jack.deliverShort(0x90, 60, 100); // held until the dump is through
    jack.deliver({0xF0, 0x11, 0xF7}); // another dump meanwhile: dropped
    jack.deliverShort(0xF8, 0, 0);    // real-time passes
    alsa.deliver({0x45, 0x02, 0xF7});
    alsa.deliverShort(0x80, 60, 0);
    EXPECT_EQ(events, (std::vector<Bytes>{{0xF8, 0, 0},
                                          {0xF0, 0x00, 0x00, 0x7E, 0x45, 0x02, 0xF7},
                                          {0x90, 60, 100},
                                          {0x80, 60, 0}}));
    EXPECT_EQ(in.Lost(), 1u); // the second dump

    // Short messages past the 256 the merge can hold while a dump comes in are lost, and told.
    alsa.deliver({0xF0, 0x01});
    for (int i = 0; i < 260; ++i)
        jack.deliverShort(0x90, 60, static_cast<std::uint8_t>(i & 0x7F));
    alsa.deliver({0xF7});
    EXPECT_EQ(in.Lost(), 5u);
    EXPECT_EQ(events.size(), 4u + 1 + 256);
    in.SetUsing(false);
    EXPECT_EQ(in.Lost(), 5u);
    EXPECT_EQ(alsa.sink, nullptr);
    EXPECT_EQ(jack.sink, nullptr);
}

TEST(VirtualPort, ASourceSilentInsideItsSysExLetsTheOtherThroughAfterThePause) {
    FakeProvider alsa, jack;
    auto virt = makeVirtualService({&alsa, &jack}, std::chrono::milliseconds(50));
    MidiSystem system({virt.get()});
    TMidiIn in(system);
    std::vector<Bytes> events;
    in.OnShort = [&](TMidiIn&, std::uint8_t s, std::uint8_t a, std::uint8_t b) {
        events.push_back({s, a, b});
    };
    in.OnSysEx = [&](TMidiIn&, const std::uint8_t* d, int n) { events.emplace_back(d, d + n); };
    in.SetUsing(true);

    alsa.deliver({0xF0, 0x01, 0x02}); // and then nothing
    jack.deliverShort(0x90, 60, 1);   // within the pause: held
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    jack.deliver({0xF0, 0x11, 0xF7});
    alsa.deliver({0x03, 0xF7}); // the rest of the abandoned message is not raised
    jack.deliverShort(0x80, 60, 0);
    EXPECT_EQ(events, (std::vector<Bytes>{{0x90, 60, 1}, {0xF0, 0x11, 0xF7}, {0x80, 60, 0}}));
}
