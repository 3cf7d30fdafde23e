// The preset selectors of the "Encoders" and "Buttons" pages: they name the entry being edited
// from the presets file, and a name picked from their lists writes its preset into the entry.
#pragma once

#include "PresetLists.h"

class QComboBox;
class QLabel;

namespace korv::editor {

class ButtSettingsPage;
class PotSettingsPage;

class EditorPresets {
public:
    // Takes over the pages' preset-name refresh and listens to their selectors.
    EditorPresets(PotSettingsPage& pot, ButtSettingsPage& butt);

    // Reads the presets file once and puts its names into the selectors; an empty path or a
    // missing file leaves the lists empty.
    void LoadPresets(const QString& path);
    const PresetLists& Lists() const { return lists_; }

    // Shows the name of the preset whose key is the entry's bytes as the page shows them.
    void ShowPotPresetName();
    void ShowButtPresetName();
    // A name picked from the list at `index` (not typed text) applies its preset.
    void PotPresetNameChange(int index);
    void ButtPresetNameChange(int index);
    // Writes the preset's bytes into the entry's spin boxes in order, and for encoders the
    // label after the name's ": " while "Get Label From Preset" is ticked.
    void ApplyPotPreset(const QString& key);
    void ApplyButtPreset(const QString& key);

private:
    static void FillSelector(QComboBox* selector, const QStringList& names);
    // The key at the list position picked in `selector`, or an empty string when the text
    // shown is not that item's (typed by hand).
    static QString PickedKey(const QComboBox* selector, int index, const PresetList& list);
    static void ShowName(QComboBox* selector, const PresetList& list,
                         std::initializer_list<const QLabel*> hexDisplays);

    PotSettingsPage& pot_;
    ButtSettingsPage& butt_;
    PresetLists lists_;
};

} // namespace korv::editor
