// Short messages arriving on the MIDI input through the loopback service: learned into the
// entry being edited, or moving the matching knobs of the surface and echoed on the output;
// the learn boxes; Page Up and Page Down on the editor pages; a flood the window cannot keep
// up with; and the presets file found at start-up.
#include "TForm1.h"

#include "LoopbackService.h"
#include "MidiSystem.h"
#include "RecordingDialogs.h"
#include "TFaderDesk.h"
#include "TKnob.h"
#include "TMidiIn.h"
#include "TMidiOut.h"
#include "WindowDriver.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using namespace korv;
using Bytes = std::vector<std::uint8_t>;

namespace {

class MidiInput : public ::testing::Test {
protected:
    MidiInput() {
        loopback.addInput("Keys In");
        loopback.addOutput("Synth Out");
        system = std::make_unique<midi::MidiSystem>(std::vector<midi::MidiService*>{&loopback});
        form = std::make_unique<app::TForm1>(*system);
        ui.window = form.get();
        ui.pick("MIDIOutComboBox", "Synth Out");
        ui.pick("MIDIInComboBox", "Keys In");
    }
    // The device plays `bytes`; the window handles what it passed on.
    void play(const Bytes& bytes) {
        ASSERT_TRUE(loopback.inject(0, bytes));
        loopback.flush();
        QCoreApplication::processEvents();
    }
    // The surface on screen with "Virtual Motorized Encs" ticked, and its output forgotten.
    void showMotorizedSurface() {
        ui.click("ShowFaderDesk");
        ASSERT_TRUE(desk().isVisible());
        ui.toggle("vMotPots");
        ASSERT_TRUE(checkBox("vMotPots")->isChecked());
        loopback.clearSent(0);
    }
    surface::TFaderDesk& desk() { return form->FaderDesk(); }
    controls::TKnob& knob(int index) { return *desk().KnobTable().at(index); }
    model::SettingsImage& image() { return form->SettingsImage(); }
    Bytes sent() { return loopback.sent(0); }
    QCheckBox* checkBox(const char* name) { return ui.child<QCheckBox>(name); }
    int value(const char* spin) { return ui.child<QSpinBox>(spin)->value(); }
    QString shownPage() {
        return ui.child<QTabWidget>("PageControl1")->currentWidget()->objectName();
    }
    void showPage(const char* name) {
        auto* pages = ui.child<QTabWidget>("PageControl1");
        pages->setCurrentWidget(ui.child(name));
    }

    test::RecordingDialogs dialogs;
    midi::LoopbackService loopback;
    std::unique_ptr<midi::MidiSystem> system;
    std::unique_ptr<app::TForm1> form;
    test::WindowDriver ui;
};

TEST_F(MidiInput, AControllerMovesItsKnobWhichStoresAndEchoesTheValue) {
    showMotorizedSurface();
    play({0xB0, 0x05, 0x40});
    EXPECT_EQ(knob(5).Position(), 64);
    EXPECT_EQ(image().PotValue(5), 64);
    EXPECT_EQ(desk().LastControlId(), 5);
    EXPECT_EQ(sent(), (Bytes{0xB0, 0x05, 0x40}));
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(knob(k).Position(), k == 5 ? 64 : 0) << k;

    // Bank 2 plays controllers 0x10 to 0x1F: nothing there listens to controller 5.
    loopback.clearSent(0);
    QTest::mouseClick(desk().findChild<QWidget*>("BankUpButton"), Qt::LeftButton);
    ASSERT_EQ(desk().CurrentBank(), 2);
    play({0xB0, 0x05, 0x7F});
    play({0xB1, 0x15, 0x7F}); // channel 2
    EXPECT_EQ(sent(), Bytes{});
    EXPECT_EQ(image().PotValue(21), 0);
    play({0xB0, 0x15, 0x22});
    EXPECT_EQ(sent(), (Bytes{0xB0, 0x15, 0x22}));
    EXPECT_EQ(image().PotValue(21), 0x22);
}

TEST_F(MidiInput, NothingMovesWithoutTheBoxTickedOrWithoutAVisibleSurface) {
    ui.toggle("vMotPots");
    play({0xB0, 0x05, 0x40}); // never built
    EXPECT_EQ(sent(), Bytes{});

    ui.click("ShowFaderDesk");
    desk().hide();
    loopback.clearSent(0);
    play({0xB0, 0x05, 0x40});
    EXPECT_EQ(sent(), Bytes{});

    desk().show();
    ui.toggle("vMotPots");
    ASSERT_FALSE(checkBox("vMotPots")->isChecked());
    play({0xB0, 0x05, 0x40});
    EXPECT_EQ(sent(), Bytes{});
    EXPECT_EQ(knob(5).Position(), 0);
    EXPECT_EQ(image().PotValue(5), 0);
}

TEST_F(MidiInput, EveryMatchingKnobMovesInOrderWithinItsRange) {
    for (int e : {9, 3}) {
        image().SetPotStatus(e, 0x90);
        image().SetPotByte1(e, 0x3C);
    }
    image().SetPotMin(3, 0x20);
    image().SetPotMax(9, 0x50);
    showMotorizedSurface();
    play({0x90, 0x3C, 0x00});
    EXPECT_EQ(sent(), (Bytes{0x90, 0x3C, 0x20, 0x90, 0x3C, 0x00}));
    EXPECT_EQ(knob(3).Position(), 0x20);
    EXPECT_EQ(image().PotValue(3), 0x20);
    loopback.clearSent(0);
    play({0x90, 0x3C, 0x7F});
    EXPECT_EQ(sent(), (Bytes{0x90, 0x3C, 0x7F, 0x90, 0x3C, 0x50}));
    EXPECT_EQ(image().PotValue(9), 0x50);

    // A note-off never moves a knob, nor do system messages.
    loopback.clearSent(0);
    play({0x80, 0x3C, 0x00});
    play({0xF2, 0x3C, 0x00});
    EXPECT_EQ(sent(), Bytes{});
}

TEST_F(MidiInput, LearnEncTakesStatusAndFirstByteIntoTheEncoderPage) {
    showMotorizedSurface();
    ui.toggle("LearnPot");
    EXPECT_FALSE(checkBox("vMotPots")->isEnabled());
    EXPECT_TRUE(checkBox("vMotPots")->isChecked());
    ui.type("PotNumber", "4");
    showPage("FileSheet");

    play({0x92, 0x40, 0x7F});
    EXPECT_EQ(shownPage(), "PotSettings");
    EXPECT_EQ(value("PotByte0"), 0x92);
    EXPECT_EQ(value("PotByte1"), 0x40);
    EXPECT_EQ(ui.text("PotByte0HEX"), "92");
    EXPECT_EQ(image().DataByte(16), 0x12);
    EXPECT_EQ(image().DataByte(17), 0x40);
    EXPECT_EQ(image().DataByte(19), 0x7F); // the maximum stays
    // Learning moves no knob even though the encoder now matches.
    EXPECT_EQ(sent(), Bytes{});

    play({0x80, 0x3C, 0x00});
    EXPECT_EQ(value("PotByte0"), 0x92);
    play({0x90, 0x3C, 0x00});
    EXPECT_EQ(value("PotByte0"), 0x90);
    EXPECT_EQ(value("PotByte1"), 0x3C);
    EXPECT_EQ(sent(), Bytes{});
}

TEST_F(MidiInput, LearnButtonTakesAllThreeBytesIntoTheButtonPage) {
    ui.toggle("LearnButt");
    ui.type("ButtNumber", "2");
    ASSERT_EQ(value("ButtByte2"), 0x7F);
    // A program change has one data byte on the wire; it arrives with a second byte of 0.
    play({0xC3, 0x07});
    EXPECT_EQ(shownPage(), "ButtSettings");
    EXPECT_EQ(value("ButtByte0"), 0xC3);
    EXPECT_EQ(value("ButtByte1"), 0x07);
    EXPECT_EQ(value("ButtByte2"), 0x00);
    EXPECT_EQ(image().DataByte(0x208), 0x43);
    EXPECT_EQ(image().DataByte(0x209), 0x07);
    EXPECT_EQ(image().DataByte(0x20A), 0x00);
    play({0xE5, 0x01, 0x02});
    EXPECT_EQ(image().DataByte(0x208), 0x65);
    EXPECT_EQ(image().DataByte(0x209), 0x01);
    EXPECT_EQ(image().DataByte(0x20A), 0x02);
    // Nothing of it reached the encoder page.
    EXPECT_EQ(image().DataByte(0), 0x30);
}

TEST_F(MidiInput, TheLearnBoxesExcludeEachOtherAndHoldTheMotorizedBox) {
    QCheckBox* learnPot = checkBox("LearnPot");
    QCheckBox* learnButt = checkBox("LearnButt");
    QCheckBox* motorized = checkBox("vMotPots");
    EXPECT_TRUE(motorized->isEnabled());
    ui.toggle("vMotPots");

    ui.toggle("LearnPot");
    EXPECT_FALSE(motorized->isEnabled());
    ui.toggle("LearnButt");
    EXPECT_TRUE(learnButt->isChecked());
    EXPECT_FALSE(learnPot->isChecked());
    EXPECT_FALSE(motorized->isEnabled());
    ui.toggle("LearnButt");
    EXPECT_TRUE(motorized->isEnabled());
    EXPECT_TRUE(motorized->isChecked());

    ui.toggle("LearnButt");
    ui.toggle("LearnPot");
    EXPECT_FALSE(learnButt->isChecked());
    ui.toggle("LearnPot");
    EXPECT_FALSE(learnPot->isChecked());
    EXPECT_TRUE(motorized->isEnabled());
    EXPECT_TRUE(motorized->isChecked());

    // Learning is over: the message moves the knob again.
    ui.click("ShowFaderDesk");
    loopback.clearSent(0);
    play({0xB0, 0x05, 0x40});
    EXPECT_EQ(sent(), (Bytes{0xB0, 0x05, 0x40}));
}

TEST_F(MidiInput, PageUpAndDownStepTheEncoderOrButtonWhateverHasTheFocus) {
    showPage("PotSettings");
    QWidget* byte1 = ui.child("PotByte1");
    const Bytes before = image().Bytes();
    QTest::keyClick(byte1, Qt::Key_PageUp);
    EXPECT_EQ(value("PotNumber"), 1);
    EXPECT_EQ(value("PotByte1"), 1); // the spin box did not step by ten
    QTest::keyClick(ui.child("PotLabel"), Qt::Key_PageDown);
    QTest::keyClick(ui.child("PotLabel"), Qt::Key_PageDown);
    EXPECT_EQ(value("PotNumber"), 0);
    ui.type("PotNumber", "127");
    QTest::keyClick(byte1, Qt::Key_PageUp);
    EXPECT_EQ(value("PotNumber"), 127);
    EXPECT_EQ(image().Bytes(), before);
    // Other keys go on to the focused control.
    QTest::keyClick(byte1, Qt::Key_Down);
    EXPECT_EQ(value("PotByte1"), 126);
    EXPECT_EQ(image().PotByte1(127), 126);

    showPage("ButtSettings");
    QTest::keyClick(ui.child("ButtByte2"), Qt::Key_PageUp);
    QTest::keyClick(ui.child("ButtByte2"), Qt::Key_PageUp);
    EXPECT_EQ(value("ButtNumber"), 2);
    ui.type("ButtNumber", "63");
    QTest::keyClick(ui.child("ButtByte2"), Qt::Key_PageUp);
    EXPECT_EQ(value("ButtNumber"), 63);
    QTest::keyClick(ui.child("ButtByte2"), Qt::Key_PageDown);
    EXPECT_EQ(value("ButtNumber"), 62);

    // On any other page the focused control has the key.
    showPage("FileSheet");
    QTest::keyClick(ui.child("SysexSendSpeed"), Qt::Key_PageUp);
    EXPECT_EQ(value("SysexSendSpeed"), 210);
    EXPECT_EQ(value("ButtNumber"), 62);
}

TEST_F(MidiInput, TextTypedButNotEnteredIsDroppedWhenAnotherEncoderIsShown) {
    showPage("PotSettings");
    auto* min = ui.child<QSpinBox>("PotMin");
    const Bytes before = image().Bytes();
    ASSERT_EQ(image().PotMin(0), 0);
    ASSERT_EQ(image().PotMin(1), 0);
    min->selectAll();
    QTest::keyClicks(min, "5"); // no Return: not taken yet
    QTest::keyClick(min, Qt::Key_PageUp);
    EXPECT_EQ(value("PotNumber"), 1);
    EXPECT_EQ(min->text(), "0");
    // Leaving the field must not write the five into the encoder now shown.
    QTest::keyClick(min, Qt::Key_Return);
    ui.child("PotLabel")->setFocus();
    EXPECT_EQ(image().Bytes(), before);
}

TEST_F(MidiInput, AFloodTheWindowCannotKeepUpWithIsCutAndCountedOnTheStatusLine) {
    ui.toggle("LearnPot");
    // 3,000 note-ons arrive while the window is busy: 2,048 wait, the rest are dropped.
    Bytes flood;
    for (int i = 0; i < 3000; ++i) {
        flood.push_back(0x90);
        flood.push_back(static_cast<std::uint8_t>(i % 128));
        flood.push_back(0x40);
    }
    play(flood);
    ASSERT_TRUE(test::WindowDriver::waitUntil([&] {
        return ui.text("StatusLabel").startsWith("952 ");
    })) << ui.text("StatusLabel").toStdString();
    EXPECT_EQ(ui.text("StatusLabel"),
              "952 incoming MIDI messages were dropped: the program could not keep up with the "
              "input");
    EXPECT_EQ(ui.statusColor(), QColor(255, 0, 0));
    // The last message that got through was number 2,048, note 0x7F.
    EXPECT_EQ(value("PotByte1"), 0x7F);

    // With room again, messages are learned as before.
    play({0x91, 0x11, 0x40});
    EXPECT_EQ(value("PotByte1"), 0x11);
    play({0x90, 0x01, 0x40});
    EXPECT_EQ(value("PotByte1"), 0x01);
}

TEST(MidiInputStartUp, ThePresetsFileFoundAtStartUpFillsTheSelectors) {
    QTemporaryDir dir;
    const QString data = dir.filePath("data");
    ASSERT_TRUE(QDir().mkpath(data + "/korvanettesim"));
    QFile file(data + "/korvanettesim/korvttpresets.ini");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[POTPRESETS]\nB000007F=Bank Select (CC 0): Bank Select\n"
               "[BUTTONPRESETS]\n903C7F=Note On: C3 vel 127\n");
    file.close();
    const auto swap = [](const char* name, const QByteArray& value) {
        const std::optional<QByteArray> old =
            qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
        return old.value_or(QByteArray());
    };
    const QByteArray savedHome = swap("XDG_DATA_HOME", data.toLocal8Bit());
    const QByteArray savedDirs = swap("XDG_DATA_DIRS", dir.filePath("none").toLocal8Bit());

    test::RecordingDialogs dialogs;
    midi::LoopbackService loopback;
    midi::MidiSystem system({&loopback});
    app::TForm1 form(system);
    swap("XDG_DATA_HOME", savedHome);
    swap("XDG_DATA_DIRS", savedDirs);

    test::WindowDriver ui{&form};
    auto* pots = ui.child<QComboBox>("PotPresetName");
    ASSERT_EQ(pots->count(), 1);
    EXPECT_EQ(pots->itemText(0), "Bank Select (CC 0): Bank Select");
    // Encoder 0 and button 0 of the default settings are these presets.
    EXPECT_EQ(pots->currentText(), "Bank Select (CC 0): Bank Select");
    EXPECT_EQ(ui.child<QComboBox>("ButtPresetName")->currentText(), "Note On: C3 vel 127");
}

} // namespace
