// A settings editor over its own settings image, its pages in a tab widget as in the main
// window, and a stand-in surface: a window with 16 real knobs that records every change they
// report. Helpers type and click on the pages as a user does.
#pragma once

#include "BoxSettingsPage.h"
#include "ButtSettingsPage.h"
#include "PotSettingsPage.h"
#include "SettingsEditor.h"
#include "SettingsImage.h"
#include "TKnob.h"

#include <QTabWidget>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

class QAbstractButton;

namespace korv::test {

using Bytes = std::vector<std::uint8_t>;

// One change notification of a surface knob, as the encoder engine would receive it.
struct KnobChange {
    int slot;
    int position;
    int min;
    int max;
    friend bool operator==(const KnobChange&, const KnobChange&) = default;
};

class EditorTest : public ::testing::Test {
protected:
    EditorTest();

    // What the main window does after the image has been replaced.
    void load() { editor.LoadSettingsToForm(); }

    editor::PotSettingsPage& pot() { return editor.PotPage(); }
    editor::ButtSettingsPage& butt() { return editor.ButtPage(); }
    editor::BoxSettingsPage& box() { return editor.BoxPage(); }
    // A control of any page by its name.
    template <typename W = QWidget> W* control(const char* name) {
        auto* w = tabs.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* labelName);
    int value(const char* spinName);
    QString shown(const char* comboName);

    // Selects all text of the field, types `keys` and presses Enter.
    void type(QWidget* field, const QString& keys);
    void type(const char* name, const QString& keys) { type(control(name), keys); }
    // Picks item `index` from the drop-down list with the mouse.
    void pick(const char* comboName, int index);
    // Clicks a check box on its box, anything else in its middle.
    void click(const char* name);

    // Shows the page holding `name` as the current tab.
    void showPageOf(QWidget* w);

    // Data offsets whose byte differs between two whole images.
    static std::vector<int> ChangedDataOffsets(const Bytes& before, const Bytes& after);
    std::uint8_t data(int dataOffset) const { return image.DataByte(dataOffset); }

    model::SettingsImage image;
    QTabWidget tabs;
    QWidget surface;
    std::array<controls::TKnob*, 16> knobs{};
    std::vector<KnobChange> knobChanges;
    editor::SettingsEditor editor;
};

} // namespace korv::test
