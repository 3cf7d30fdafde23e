// Reception of dumps and the box's notices, buffer by buffer: the texts the window shows and
// the dump it loads, in the order the buffers arrived.
#include "DumpReceiver.h"
#include "LoopbackService.h"
#include "TMidiIn.h"

#include <gtest/gtest.h>

#include <mutex>

using namespace korv;
using dump::ReceiverEffect;
using Bytes = std::vector<std::uint8_t>;
using Effects = std::vector<ReceiverEffect>;

namespace {

// A dump of 4,103 bytes (or `size`, cut or lengthened before its F7) with command byte `cmd`.
Bytes makeDump(std::uint8_t cmd = 0x02, std::size_t size = 4103) {
    Bytes dump(size);
    const Bytes header{0xF0, 0x00, 0x00, 0x7E, 0x45, cmd};
    std::copy(header.begin(), header.end(), dump.begin());
    for (std::size_t i = 6; i + 1 < size; ++i)
        dump[i] = static_cast<std::uint8_t>((i * 13 + 5) & 0x7F);
    dump.back() = 0xF7;
    return dump;
}

ReceiverEffect status(const char* text, bool failure = false) {
    return ReceiverEffect::Status(QString::fromLatin1(text), failure);
}
ReceiverEffect count(const char* text) {
    return ReceiverEffect::ReceiveCount(QString::fromLatin1(text));
}

class Receiver : public ::testing::Test {
protected:
    Effects feed(const Bytes& buffer) {
        return receiver.Feed(buffer.data(), static_cast<int>(buffer.size()));
    }
    // Feeds `message` in buffers of 128 bytes, as the input port hands it over.
    Effects feedInBuffers(const Bytes& message) {
        Effects all;
        for (std::size_t i = 0; i < message.size(); i += 128) {
            const std::size_t n = std::min<std::size_t>(128, message.size() - i);
            const Effects e = receiver.Feed(message.data() + i, static_cast<int>(n));
            all.insert(all.end(), e.begin(), e.end());
        }
        return all;
    }

    model::SettingsImage image; // command byte 0x02
    dump::DumpReceiver receiver{image, QStringLiteral("Korvanette")};
};

} // namespace

TEST_F(Receiver, ADumpInBuffersCountsDownToDoneAndHandsOverEveryByte) {
    const Bytes dump = makeDump();
    const Effects effects = feedInBuffers(dump);
    ASSERT_EQ(effects.size(), 1u + 32u + 2u);
    EXPECT_EQ(effects[0], status("Receiving Korvanette data !"));
    EXPECT_EQ(effects[1], count("3975"));
    EXPECT_EQ(effects[2], count("3847"));
    EXPECT_EQ(effects[3], count("3719"));
    EXPECT_EQ(effects[30], count("263"));
    EXPECT_EQ(effects[31], count("135"));
    EXPECT_EQ(effects[32], count("7"));
    EXPECT_EQ(effects[33], count("Done !!"));
    EXPECT_EQ(effects[34], ReceiverEffect::DumpReceived(dump));
    EXPECT_EQ(receiver.ReceiveCount(), 0);
}

TEST_F(Receiver, AMessageLongerThanADumpIsRefusedAndItsTailIgnored) {
    Effects effects = feedInBuffers(makeDump(0x02, 4104));
    ASSERT_GE(effects.size(), 2u);
    EXPECT_EQ(effects[effects.size() - 2], count("7"));
    EXPECT_EQ(effects.back(), count("Sysex 2 Large ?!"));
    for (const auto& e : effects)
        EXPECT_NE(e.kind, ReceiverEffect::Kind::DumpReceived);
    EXPECT_EQ(feed({0x01, 0x02, 0xF7}), Effects{}); // the rest of it: no reception runs
}

TEST_F(Receiver, ADumpOfAnotherDeviceIsLoadedAllTheSameButNotAnnounced) {
    const Bytes dump = makeDump(0x52);
    const Effects effects = feedInBuffers(dump);
    EXPECT_EQ(effects.front(), count("3975"));
    EXPECT_EQ(effects.back(), ReceiverEffect::DumpReceived(dump));
}

TEST_F(Receiver, NoticesOfOurDeviceAreShownAndLeaveTheReceptionAlone) {
    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x0F, 0xF7}),
              Effects{status("Korvanette Detected !")});
    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x01, 0xF7}),
              Effects{status("Dump Request from Korvanette received !")});
    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x08, 0xF7}),
              Effects{status("Bank Dump Request from Korvanette received !")});
    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x0F, 0x04, 0xF7}),
              Effects{status("Bank Change to Nr. 5 Confirmed !")});
    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x0F, 0x7F, 0xF7}),
              Effects{status("No Vaultcard ?", true)});
    EXPECT_EQ(receiver.ReceiveCount(), 0);

    receiver.SetDeviceId(3);
    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x3F, 0xF7}),
              Effects{status("Korvanette Detected !")});
    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x38, 0xF7}),
              Effects{status("Bank Dump Request from Korvanette received !")});
    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x3F, 0x00, 0xF7}),
              Effects{status("Bank Change to Nr. 1 Confirmed !")});
    EXPECT_EQ(receiver.ReceiveCount(), 0);
}

TEST_F(Receiver, ANoticeCutOffAfterItsCommandByteIsThePresenceForm) {
    const Bytes confirmation{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x0F, 0x03, 0xF7};
    EXPECT_EQ(receiver.Feed(confirmation.data(), 6), Effects{status("Korvanette Detected !")});
    const Bytes two{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x0F, 0xF7, //
                    0xF0, 0x00, 0x00, 0x7E, 0x45, 0x0F, 0x03, 0xF7};
    EXPECT_EQ(receiver.Feed(two.data(), 13),
              (Effects{status("Korvanette Detected !"), count("4097")}));
}

TEST_F(Receiver, NoticesBackToBackAreShownInTurn) {
    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x0F, 0xF7, //
                    0xF0, 0x00, 0x00, 0x7E, 0x45, 0x01, 0xF7}),
              (Effects{status("Korvanette Detected !"),
                       status("Dump Request from Korvanette received !")}));
    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x01, 0xF7, //
                    0xF0, 0x00, 0x00, 0x7E, 0x45, 0x08, 0xF7}),
              (Effects{status("Dump Request from Korvanette received !"),
                       status("Bank Dump Request from Korvanette received !")}));
    EXPECT_EQ(receiver.ReceiveCount(), 0);
}

TEST_F(Receiver, WhatFollowsANoticeInItsBufferStartsAReception) {
    // A bank change confirmation behind a presence notice is shown, then taken as data.
    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x0F, 0xF7, //
                    0xF0, 0x00, 0x00, 0x7E, 0x45, 0x0F, 0x02, 0xF7}),
              (Effects{status("Korvanette Detected !"), status("Bank Change to Nr. 3 Confirmed !"),
                       count("4095")}));
    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x01, 0xF7, //
                    0xF0, 0x00, 0x00, 0x7E, 0x45, 0x0F, 0x7F, 0xF7}),
              (Effects{status("Dump Request from Korvanette received !"),
                       status("No Vaultcard ?", true), count("4095")}));

    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x08, 0xF7, //
                    0xF0, 0x00, 0x00, 0x7E, 0x45, 0x02}),
              (Effects{status("Bank Dump Request from Korvanette received !"), count("4097")}));

    // A confirmation, then our own dump, whose last buffer holds only its F7.
    const Bytes dump = makeDump();
    Bytes first{0xF0, 0x00, 0x00, 0x7E, 0x45, 0x0F, 0x00, 0xF7};
    first.insert(first.end(), dump.begin(), dump.begin() + 120);
    EXPECT_EQ(feed(first), (Effects{status("Bank Change to Nr. 1 Confirmed !"), count("3983")}));
    feed(Bytes(dump.begin() + 120, dump.end() - 1));
    EXPECT_EQ(feed({0xF7}), (Effects{count("Done !!"), ReceiverEffect::DumpReceived(dump)}));
}

TEST_F(Receiver, ARequestOfAnotherDeviceIsTakenAsTheStartOfADump) {
    EXPECT_EQ(feed({0xF0, 0x00, 0x00, 0x7E, 0x45, 0x11, 0xF7}), Effects{count("4096")});
    EXPECT_EQ(receiver.ReceiveCount(), 4096);
}

TEST_F(Receiver, ContinuationBuffersWithoutAReceptionAreIgnored) {
    EXPECT_EQ(feed({0x01, 0x02, 0x03, 0xF7}), Effects{});
    EXPECT_EQ(feed({}), Effects{});
    EXPECT_EQ(receiver.ReceiveCount(), 0);
}

TEST_F(Receiver, ANewMessageRestartsAnUnfinishedReception) {
    const Bytes first = makeDump(0x02);
    const Effects partial = feed(Bytes(first.begin(), first.begin() + 100));
    EXPECT_EQ(partial.back(), count("4003"));
    EXPECT_EQ(receiver.ReceiveCount(), 4003);

    Bytes second = makeDump(0x02);
    second[2000] = 0x55;
    const Effects effects = feedInBuffers(second);
    EXPECT_EQ(effects[1], count("3975"));
    EXPECT_EQ(effects.back(), ReceiverEffect::DumpReceived(second));
}

TEST_F(Receiver, AReplyThroughTheInputPortIsCollectedFromItsBuffers) {
    midi::LoopbackService loop;
    loop.addInput("Box");
    midi::MidiSystem system({&loop});
    midi::TMidiIn in(system);
    std::mutex mutex;
    Effects effects;
    in.OnSysEx = [&](midi::TMidiIn&, const std::uint8_t* data, int size) {
        const Effects e = receiver.Feed(data, size);
        std::lock_guard l(mutex);
        effects.insert(effects.end(), e.begin(), e.end());
    };
    in.SetUsing(true);
    ASSERT_EQ(in.OpenResult(), 0);
    const Bytes dump = makeDump();
    loop.inject(0, {0xF0, 0x00, 0x00, 0x7E, 0x45, 0x0F, 0xF7});
    loop.inject(0, dump);
    loop.flush();
    std::lock_guard l(mutex);
    ASSERT_EQ(effects.size(), 2u + 32u + 2u);
    EXPECT_EQ(effects[0], status("Korvanette Detected !"));
    EXPECT_EQ(effects[1], status("Receiving Korvanette data !"));
    EXPECT_EQ(effects[2], count("3975"));
    EXPECT_EQ(effects[33], count("7"));
    EXPECT_EQ(effects[34], count("Done !!"));
    EXPECT_EQ(effects[35], ReceiverEffect::DumpReceived(dump));
}

TEST_F(Receiver, AnAbandonedReceptionIgnoresItsRestAndTheNextMessageStartsAfresh) {
    EXPECT_FALSE(receiver.Abandon()); // nothing runs
    const Bytes dump = makeDump();
    feed(Bytes(dump.begin(), dump.begin() + 128));
    EXPECT_TRUE(receiver.Abandon());
    EXPECT_EQ(receiver.ReceiveCount(), 0);
    EXPECT_EQ(feed(Bytes(dump.begin() + 128, dump.end())), Effects{});
    EXPECT_FALSE(receiver.Abandon());

    const Effects effects = feedInBuffers(dump);
    EXPECT_EQ(effects.back(), ReceiverEffect::DumpReceived(dump));
    EXPECT_FALSE(receiver.Abandon()); // a finished reception is not taken back
}
