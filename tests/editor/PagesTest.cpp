// The three pages as a user and a screen reader meet them: captions, ranges, items, initial
// states, accessible names, and a layout that fits the main window's default size.
#include "EditorFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <memory>

namespace korv::test {
namespace {

using PagesTest = EditorTest;

QStringList itemsOf(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

TEST_F(PagesTest, CaptionsAreExact) {
    const std::pair<const char*, const char*> captions[] = {
        {"PotNumberInBankLabel", "Enc Nr :"},
        {"PotBankLabel", "Bank :"},
        {"PotPresetNameLabel", "Preset :"},
        {"PotNumberLabel", "Enc ID :"},
        {"PotByte0ALabel", "Event Type :"},
        {"PotByte0BLabel", "Midi Channel :"},
        {"PotByte0Label", "Byte 0 :"},
        {"PotHexHeading", "HEX"},
        {"PotByte1Label", "Byte 1 :"},
        {"PotMinLabel", "Min :"},
        {"PotMaxLabel", "Max :"},
        {"PotLabelLabel", "Label :"},
        {"PotLabelModeLabel", "Label Mode :"},
        {"EncModeLabel", "Enc Mode :"},
        {"EncSpeedLabel", "Enc Speed :"},
        {"LedModeLabel", "Led Ring :"},
        {"ButtonNumberInBankLabel", "Button Nr :"},
        {"ButtPresetNameLabel", "Preset :"},
        {"ButtNumberLabel", "Button ID :"},
        {"ButtByte0ALabel", "Event Type :"},
        {"ButtByte0BLabel", "Midi Channel :"},
        {"ButtByte0Label", "Byte 0 :"},
        {"ButtHexHeading", "HEX"},
        {"ButtByte1Label", "Byte 1 :"},
        {"ButtByte2Label", "Byte 2 :"},
        {"ButtModeLabel", "Mode :"},
        {"BankNameLabel", "Bank Name :"},
        {"SnapShotAtPowerOnLabel", "SnapShot at PowerOn :"},
        {"AutoSnapshotLabel", "Auto Snapshot :"},
        {"MIDILedsLabel", "MIDI Leds :"},
        {"SendPCOnBankChangeLabel", "Send PC On Bank Change :"},
        {"ReceivePCForBankChangeLabel", "Receive PC For Bank Change :"},
        {"DisableMenuNavigationLabel", "Disable Menu Navigation :"},
        {"LCEmulationIDLabel", " LC Emulation ID :"},
        {"TouchsensorSensitivityLabel", " Touchsensor Sensitivity :"},
        {"LEDPattern_NrLabel", "Pattern #"},
        {"LEDPattern_EntryLabel", "Entry #"},
        {"SROUT_Map_1Label", "SR #1"},
        {"SROUT_Map_8Label", "SR #8"},
    };
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(text(name), caption) << name;

    const std::pair<const char*, const char*> groups[] = {
        {"PotPropertiesGroupbox", "Properties"},       {"ButtPropertiesGroupbox", "Properties"},
        {"BoxConfigGroupbox", "Box Config"},           {"LEDPatternsGroupbox", "LED Ring Patterns"},
        {"DOUTMapGroupbox", "DOUT Shiftregister Map"},
    };
    for (const auto& [name, title] : groups)
        EXPECT_EQ(control<QGroupBox>(name)->title(), title) << name;

    const std::tuple<const char*, const char*, bool> checks[] = {
        {"LearnPot", "Learn Enc", false},
        {"vMotPots", "Virtual Motorized Encs", false},
        {"PresetCopiesNameCheckBox", "Get Label From Preset", true},
        {"LearnButt", "Learn Button", false},
    };
    for (const auto& [name, caption, on] : checks) {
        EXPECT_EQ(control<QCheckBox>(name)->text(), caption) << name;
        EXPECT_EQ(control<QCheckBox>(name)->isChecked(), on) << name;
    }
    EXPECT_TRUE(control("vMotPots")->isEnabled());
}

TEST_F(PagesTest, RangesAndInitialValues) {
    const std::tuple<const char*, int, int, int> spins[] = {
        {"PotNumberInBank", 1, 16, 1},
        {"PotBank", 1, 8, 1},
        {"PotNumber", 0, 127, 0},
        {"PotByte0B", 1, 16, 1},
        {"PotByte0", 144, 255, 144},
        {"PotByte1", 0, 127, 0},
        {"PotMin", 0, 127, 0},
        {"PotMax", 0, 127, 0},
        {"ButtonNumberInBank", 1, 64, 1},
        {"ButtNumber", 0, 63, 0},
        {"ButtByte0B", 1, 16, 1},
        {"ButtByte0", 144, 255, 144},
        {"ButtByte1", 0, 127, 0},
        {"ButtByte2", 0, 127, 0},
        {"LCEmulationID", 0, 127, 0},
        {"TouchsensorSensitivity", 1, 32, 1},
        {"LEDPattern_Nr", 1, 4, 1},
        {"LEDPattern_Entry", 1, 32, 1},
    };
    for (const auto& [name, min, max, initial] : spins) {
        auto* spin = control<QSpinBox>(name);
        EXPECT_EQ(spin->minimum(), min) << name;
        EXPECT_EQ(spin->maximum(), max) << name;
        EXPECT_EQ(spin->value(), initial) << name;
    }
    EXPECT_EQ(control<QLineEdit>("PotLabel")->maxLength(), 15);
    EXPECT_EQ(control<QLineEdit>("BankNameEdit")->maxLength(), 16);
}

TEST_F(PagesTest, SelectorsListTheirItemsInOrder) {
    const QStringList kinds{"9 : Note On ",        "A : Poly Aftertouch ",    "B : Controller ",
                            "C : Program Change ", "D : Channel Aftertouch ", "E : Pitch Bender ",
                            "F : Meta Event "};
    EXPECT_EQ(itemsOf(control<QComboBox>("PotByte0A")), kinds);
    EXPECT_EQ(itemsOf(control<QComboBox>("ButtByte0A")), kinds);
    EXPECT_EQ(itemsOf(control<QComboBox>("PotLabelMode")),
              (QStringList{"HEX", "+-HEX", "DEC", "+-DEC", "HEX|", "+-HEX|", "DEC|", "+-DEC|"}));
    EXPECT_EQ(itemsOf(control<QComboBox>("EncMode")),
              (QStringList{"send absolute value", "send 40 +/- <speed>", "send 00 +/- <speed>",
                           "send 40 +/- 1", "send 00 +/- 1", "send CC Inc/Dec",
                           "send LC type event", "send Houston type event"}));
    EXPECT_EQ(itemsOf(control<QComboBox>("EncSpeed")), (QStringList{"Normal", "Fast", "Slow"}));
    EXPECT_EQ(itemsOf(control<QComboBox>("LedMode")),
              (QStringList{"Pattern #1", "Pattern #2", "Pattern #3", "Pattern #4"}));
    EXPECT_EQ(itemsOf(control<QComboBox>("ButtMode")),
              (QStringList{"ON/OFF", "ON ONLY", "TOGGLE"}));
    EXPECT_EQ(
        itemsOf(control<QComboBox>("MIDIMergerMode")),
        (QStringList{"MIDI Merger off", "MIDI Merger on", "Korvane Link EP", "Korvane Link FP"}));
    for (int j = 1; j <= 8; ++j) {
        auto* map = box().SROUT_Map(j);
        EXPECT_EQ(map->objectName(), QStringLiteral("SROUT_Map_%1").arg(j));
        ASSERT_EQ(map->count(), 24);
        EXPECT_EQ(map->itemText(0), "Default Setting");
        EXPECT_EQ(map->itemText(8), "DIN SR #8 (Button ID #56-63)");
        EXPECT_EQ(map->itemText(10), "External Bank (1 of 8)");
        EXPECT_EQ(map->itemText(15), "reserved");
        EXPECT_EQ(map->itemText(23), "MIDI Status rec. for Entry #56-63");
        EXPECT_TRUE(map->isEditable());
    }
    // Pick-lists take no typing; the drop-downs the user may type into do.
    for (const char* name : {"PotPresetName", "ButtPresetName", "EncSpeed"})
        EXPECT_TRUE(control<QComboBox>(name)->isEditable()) << name;
    for (const char* name : {"PotByte0A", "ButtByte0A", "PotLabelMode", "EncMode", "LedMode",
                             "ButtMode", "MIDIMergerMode"})
        EXPECT_FALSE(control<QComboBox>(name)->isEditable()) << name;
}

TEST_F(PagesTest, EveryInputIsNamedByTheLabelInFrontOfIt) {
    const std::pair<const char*, const char*> named[] = {
        {"PotNumberInBank", "Enc Nr :"},
        {"PotByte0", "Byte 0 :"},
        {"PotLabel", "Label :"},
        {"PotNumber", "Enc ID :"},
        {"EncSpeed", "Enc Speed :"},
        {"ButtonNumberInBank", "Button Nr :"},
        {"ButtByte2", "Byte 2 :"},
        {"MIDILeds", "MIDI Leds :"},
        {"LCEmulationID", "LC Emulation ID :"},
        {"SROUT_Map_5", "SR #5"},
        {"LEDPattern_Entry", "Entry #"},
    };
    for (const auto& [name, accessible] : named)
        EXPECT_EQ(control(name)->accessibleName(), accessible) << name;

    for (QWidget* page : {static_cast<QWidget*>(&pot()), static_cast<QWidget*>(&butt()),
                          static_cast<QWidget*>(&box())}) {
        for (QWidget* w : page->findChildren<QWidget*>()) {
            const bool input = qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w) ||
                               qobject_cast<QCheckBox*>(w) || qobject_cast<QLineEdit*>(w);
            // Qt's own parts inside a spin box or drop-down are named by their owner.
            if (!input || w->objectName().startsWith("qt_") ||
                qobject_cast<QComboBox*>(w->parentWidget()))
                continue;
            EXPECT_FALSE(w->objectName().isEmpty());
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        }
        // A label in front of a control names it.
        for (QLabel* label : page->findChildren<QLabel*>()) {
            if (label->buddy()) {
                EXPECT_EQ(label->buddy()->accessibleName(), label->text().trimmed())
                    << label->objectName().toStdString();
            }
        }
    }
}

TEST_F(PagesTest, LayoutFitsTheDefaultSizeWithCheckBoxesInAColumn) {
    for (QWidget* page : {static_cast<QWidget*>(&pot()), static_cast<QWidget*>(&butt()),
                          static_cast<QWidget*>(&box())}) {
        tabs.setCurrentWidget(page);
        const QSize need = page->minimumSizeHint();
        EXPECT_LE(need.width(), page->width()) << page->objectName().toStdString();
        EXPECT_LE(need.height(), page->height()) << page->objectName().toStdString();
    }

    tabs.setCurrentWidget(&pot());
    const auto at = [this](const char* name) {
        QWidget* w = control(name);
        return w->mapTo(&pot(), QPoint(0, 0));
    };
    // "Enc ID :" at the right of "Bank :", "Preset :" under "Bank :".
    EXPECT_GT(at("PotNumber").x(), at("PotBank").x());
    EXPECT_EQ(at("PotPresetNameLabel").x(), at("PotBankLabel").x());
    EXPECT_GT(at("PotPresetNameLabel").y(), at("PotBankLabel").y());
    EXPECT_EQ(at("PotPresetName").x(), at("PotBank").x());
    EXPECT_EQ(control<QLabel>("PotByte0HEX")->alignment(), Qt::AlignCenter);
    // The three check boxes stand in a column at the right of the fields, "Learn Enc" on top.
    EXPECT_GT(at("LearnPot").x(), at("PotByte0HEX").x());
    EXPECT_EQ(at("vMotPots").x(), at("LearnPot").x());
    EXPECT_EQ(at("PresetCopiesNameCheckBox").x(), at("LearnPot").x());
    EXPECT_LT(at("LearnPot").y(), at("vMotPots").y());
    EXPECT_LT(at("vMotPots").y(), at("PresetCopiesNameCheckBox").y());

    tabs.setCurrentWidget(&box());
    for (int led = 2; led <= 16; ++led)
        EXPECT_GT(box().LEDPattern_CB(led)->x(), box().LEDPattern_CB(led - 1)->x()) << led;
    EXPECT_LT(control("MIDILedsLabel")->x(), control("MIDILeds")->x());
    EXPECT_EQ(control("MIDILeds")->x(), control("AutoSnapshot")->x());
    EXPECT_GT(control("LEDPatternsGroupbox")->x(), control("BoxConfigGroupbox")->x());
    EXPECT_GT(control("DOUTMapGroupbox")->y(), control("LEDPatternsGroupbox")->y());
}

// No two controls or captions of a page cover each other, every one lies inside the page at the
// default size, and a caption stands left of its control on the same row, or right above it.
TEST_F(PagesTest, NothingOverlapsAndEveryCaptionStandsBesideItsControl) {
    for (QWidget* page : {static_cast<QWidget*>(&pot()), static_cast<QWidget*>(&butt()),
                          static_cast<QWidget*>(&box())}) {
        tabs.setCurrentWidget(page);
        const std::string pageName = page->objectName().toStdString();
        std::vector<QWidget*> parts;
        for (QWidget* w : page->findChildren<QWidget*>()) {
            const bool leaf = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
                              qobject_cast<QComboBox*>(w) || qobject_cast<QCheckBox*>(w) ||
                              qobject_cast<QLineEdit*>(w);
            if (leaf && !w->objectName().startsWith("qt_") &&
                !qobject_cast<QComboBox*>(w->parentWidget()))
                parts.push_back(w);
        }
        ASSERT_GT(parts.size(), 10u) << pageName;
        const auto rectOf = [page](QWidget* w) {
            return QRect(w->mapTo(page, QPoint()), w->size());
        };
        for (QWidget* w : parts) {
            EXPECT_TRUE(w->isVisible()) << pageName << " " << w->objectName().toStdString();
            EXPECT_TRUE(page->rect().contains(rectOf(w))) << w->objectName().toStdString();
        }
        for (std::size_t i = 0; i < parts.size(); ++i) {
            for (std::size_t j = i + 1; j < parts.size(); ++j) {
                EXPECT_FALSE(rectOf(parts[i]).intersects(rectOf(parts[j])))
                    << parts[i]->objectName().toStdString() << " covers "
                    << parts[j]->objectName().toStdString();
            }
        }
        for (QLabel* label : page->findChildren<QLabel*>()) {
            QWidget* control = label->buddy();
            if (!control)
                continue;
            const QRect l = rectOf(label);
            const QRect c = rectOf(control);
            const bool beside =
                l.right() < c.left() && l.center().y() >= c.top() && l.center().y() <= c.bottom();
            const bool above = l.bottom() < c.top() && l.left() == c.left();
            EXPECT_TRUE(beside || above) << label->objectName().toStdString();
        }
    }
}

// The pages belong to their parent and may outlive the editor that links the learn boxes.
TEST(SettingsEditorLifetime, PagesThatOutliveTheEditorNoLongerLinkTheLearnBoxes) {
    model::SettingsImage image;
    QWidget parent;
    editor::SurfaceKnobs hidden;
    hidden.IsVisible = [] { return false; };
    hidden.KnobInSlot = [](int) -> controls::TKnob* { return nullptr; };
    auto linker = std::make_unique<editor::SettingsEditor>(image, hidden, &parent);
    QCheckBox* learnPot = linker->PotPage().LearnPot();
    QCheckBox* learnButt = linker->ButtPage().LearnButt();
    learnPot->click();
    learnButt->click();
    ASSERT_FALSE(learnPot->isChecked()); // linked while the editor lives
    linker.reset();

    learnPot->click();
    learnButt->click();
    learnButt->click();
    EXPECT_TRUE(learnPot->isChecked());
    learnPot->click();
    learnPot->click();
    EXPECT_TRUE(learnButt->isChecked());
}

} // namespace
} // namespace korv::test
