// The editor pages inside the main window: their tabs, right clicks on the surface, knobs
// re-ranged with the engine's reaction on the MIDI output, the save with the device ID.
#include "TForm1.h"

#include "ButtSettingsPage.h"
#include "LoopbackService.h"
#include "MidiSystem.h"
#include "PotSettingsPage.h"
#include "RecordingDialogs.h"
#include "SettingsEditor.h"
#include "TFaderDesk.h"
#include "TKnob.h"
#include "TMidiOut.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace korv;

namespace {

using Bytes = std::vector<std::uint8_t>;

class EditorIntegrationTest : public ::testing::Test {
protected:
    EditorIntegrationTest() {
        loopback.addOutput("Loop Out");
        system = std::make_unique<midi::MidiSystem>(std::vector<midi::MidiService*>{&loopback});
        form = std::make_unique<app::TForm1>(*system);
        form->show();
    }
    template <typename W = QWidget> W* child(const char* name) {
        auto* w = form->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTabWidget* pages() { return child<QTabWidget>("PageControl1"); }
    QString shownPage() { return pages()->currentWidget()->objectName(); }
    void clickTab(int index) {
        QTabBar* bar = pages()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    void type(const char* name, const QString& keys) {
        auto* spin = child<QAbstractSpinBox>(name);
        spin->selectAll();
        QTest::keyClicks(spin, keys);
        QTest::keyClick(spin, Qt::Key_Return);
    }
    void openOutput() {
        auto* box = child<QComboBox>("MIDIOutComboBox");
        box->showPopup();
        QAbstractItemView* view = box->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(0, 0)).center());
        ASSERT_TRUE(form->MidiOut1().Using());
    }
    surface::TFaderDesk& desk() { return form->FaderDesk(); }

    test::RecordingDialogs dialogs;
    midi::LoopbackService loopback;
    std::unique_ptr<midi::MidiSystem> system;
    std::unique_ptr<app::TForm1> form;
};

TEST_F(EditorIntegrationTest, RightClicksOnTheSurfaceOpenTheEntryInTheEditor) {
    QTest::mouseClick(child("ShowFaderDesk"), Qt::LeftButton);
    QTest::mouseClick(desk().findChild<QWidget*>("BankUpButton"), Qt::LeftButton);
    ASSERT_EQ(desk().CurrentBank(), 2);

    QTest::mouseClick(desk().KnobTable()[3], Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(shownPage(), "PotSettings");
    EXPECT_EQ(child<QSpinBox>("PotNumber")->value(), 19);
    EXPECT_EQ(child<QSpinBox>("PotBank")->value(), 2);
    EXPECT_EQ(child<QSpinBox>("PotNumberInBank")->value(), 4);
    EXPECT_EQ(child<QSpinBox>("PotByte1")->value(), 19);

    QTest::mouseClick(desk().findChild<QWidget*>("EventButton25"), Qt::RightButton);
    EXPECT_EQ(shownPage(), "ButtSettings");
    EXPECT_EQ(child<QSpinBox>("ButtNumber")->value(), 25);
    EXPECT_EQ(child<QSpinBox>("ButtonNumberInBank")->value(), 26);

    // A left click on a knob edits nothing.
    clickTab(0);
    QTest::mouseClick(desk().KnobTable()[7], Qt::LeftButton, {}, QPoint(20, 4));
    EXPECT_EQ(shownPage(), "FileSheet");
    EXPECT_EQ(child<QSpinBox>("PotNumber")->value(), 19);
}

TEST_F(EditorIntegrationTest, ARangeChangeReRangesTheVisibleKnobAndTheEngineReacts) {
    openOutput();
    QTest::mouseClick(child("ShowFaderDesk"), Qt::LeftButton);
    loopback.clearSent(0);
    clickTab(2);

    // Encoder 20 (bank 2, number 5) re-ranges the fifth knob, which plays encoder 4 in bank 1.
    type("PotNumber", "20");
    EXPECT_TRUE(loopback.sentMessages(0).empty()) << "a fill with the same range sends nothing";
    type("PotMin", "30");
    controls::TKnob* fifth = desk().KnobTable()[4];
    EXPECT_EQ(fifth->Min(), 30);
    EXPECT_EQ(fifth->Position(), 30);
    EXPECT_EQ(form->SettingsImage().PotValue(4), 30);
    EXPECT_EQ(form->SettingsImage().PotValue(20), 0);
    EXPECT_EQ(loopback.sentMessages(0), (std::vector<Bytes>{{0xB0, 0x04, 0x1E}}));

    type("PotMax", "100");
    EXPECT_EQ(fifth->Max(), 100);
    EXPECT_EQ(form->SettingsImage().PotMax(20), 100);

    // Hidden, the surface is left alone.
    desk().hide();
    loopback.clearSent(0);
    type("PotMax", "90");
    EXPECT_EQ(fifth->Max(), 100);
    EXPECT_TRUE(loopback.sentMessages(0).empty());
}

TEST_F(EditorIntegrationTest, PageChangesLeaveAModeOutsideTheListAlone) {
    form->SettingsImage().SetButtMode(0, 5);
    form->LoadSettingsToForm();
    clickTab(3);
    clickTab(1);
    clickTab(0);
    EXPECT_EQ(form->SettingsImage().ButtMode(0), 5);

    // Once the user picks a mode, it stays through page changes.
    clickTab(3);
    auto* mode = child<QComboBox>("ButtMode");
    mode->showPopup();
    QTest::mouseClick(mode->view()->viewport(), Qt::LeftButton, {},
                      mode->view()->visualRect(mode->view()->model()->index(1, 0)).center());
    clickTab(0);
    EXPECT_EQ(form->SettingsImage().ButtMode(0), 1);
}

TEST_F(EditorIntegrationTest, SaveWritesTheDeviceIdAndTheStampAndNothingElse) {
    type("DeviceID", "5");
    form->SaveSettingsFromForm();
    const Bytes saved = form->SettingsImage().Bytes();
    Bytes expected = model::SettingsImage::DefaultImage();
    expected[5] = 0x52;
    expected[6 + 0x690] = 0x47;
    expected[6 + 0x691] = 0x11;
    EXPECT_EQ(saved, expected);
}

TEST_F(EditorIntegrationTest, EveryPageFitsTheDefaultWindowWhichStaysResizable) {
    for (int i = 0; i < 4; ++i) {
        pages()->setCurrentIndex(i);
        QWidget* page = pages()->currentWidget();
        EXPECT_LE(page->minimumSizeHint().width(), page->width()) << i;
        EXPECT_LE(page->minimumSizeHint().height(), page->height()) << i;
    }
    EXPECT_LT(form->minimumSizeHint().width(), form->width());
    EXPECT_LT(form->minimumSizeHint().height(), form->height());
    EXPECT_EQ(form->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

} // namespace
