// A knob dragged on the surface reaches a real JACK client through the program's own output.
#include "JackTestServer.h"
#include "MidiSystem.h"
#include "PlatformServices.h"
#include "SettingsImage.h"
#include "TFaderDesk.h"
#include "TKnob.h"
#include "TMidiOut.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

using korv::midi::MidiSystem;
using korv::midi::TMidiOut;
using korv::model::SettingsImage;
using korv::surface::TFaderDesk;

TEST(FaderDeskJack, DraggingAKnobSendsItsEventToAJackPeer) {
    korv::test::JackTestServer server;
    korv::test::JackPeer peer(server);

    auto system = MidiSystem::createDefault();
    const auto outputs = system->outputs();
    const auto virtualPort =
        std::find_if(outputs.begin(), outputs.end(), [](const MidiSystem::Device& d) {
            return d.name == korv::midi::VirtualPortName;
        });
    ASSERT_NE(virtualPort, outputs.end()) << "no JACK output offered";
    TMidiOut out(*system);
    out.SetPort(int(virtualPort - outputs.begin()));
    out.SetUsing(true);
    ASSERT_EQ(out.OpenResult(), 0);

    std::string programPort;
    for (const std::string& port : peer.midiPorts(JackPortIsOutput))
        if (port.rfind(korv::midi::VirtualPortName, 0) == 0)
            programPort = port;
    ASSERT_FALSE(programPort.empty());
    ASSERT_TRUE(peer.connect(programPort, peer.inPort()));
    ASSERT_TRUE(peer.waitConnected(peer.inPort(), programPort));

    SettingsImage image;
    image.SetPotStatus(16 + 4, 0xB3); // bank 2, knob 5: controller 20 on channel 4
    TFaderDesk desk(image, out);
    desk.ShowVirtualBox();
    QTest::mouseClick(desk.findChild<QWidget*>("BankUpButton"), Qt::LeftButton);
    ASSERT_EQ(desk.CurrentBank(), 2);
    ASSERT_TRUE(peer.waitForBytes(48 * 3));
    peer.clear();

    // Press at the top of the circle (63), then drag to the far right end of the scale (127).
    korv::controls::TKnob* knob = desk.KnobTable()[4];
    QTest::mousePress(knob, Qt::LeftButton, {}, QPoint(20, 4));
    QTest::mouseMove(knob, QPoint(20 + 200, 20 + 346));
    QTest::mouseRelease(knob, Qt::LeftButton, {}, QPoint(20 + 200, 20 + 346));
    ASSERT_EQ(knob->Position(), 127);

    ASSERT_TRUE(peer.waitForBytes(6));
    EXPECT_EQ(peer.receivedBytes(), (std::vector<std::uint8_t>{0xB3, 20, 63, 0xB3, 20, 127}));
    EXPECT_EQ(image.PotValue(20), 127);
}
