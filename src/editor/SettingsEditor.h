// The settings editor: the "Box Config", "Encoders" and "Buttons" pages over the one settings
// image, the two whole-image actions between image and pages, the presets and learning.
#pragma once

#include "SurfaceKnobs.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

namespace korv::model {
class SettingsImage;
}

namespace korv::editor {

class BoxSettingsPage;
class ButtSettingsPage;
class EditorPresets;
class PotSettingsPage;

class SettingsEditor {
public:
    // Creates the three pages as children of `pageParent` (a tab widget takes them over).
    SettingsEditor(model::SettingsImage& image, SurfaceKnobs surface, QWidget* pageParent);
    ~SettingsEditor();

    BoxSettingsPage& BoxPage() const { return *box_; }
    PotSettingsPage& PotPage() const { return *pot_; }
    ButtSettingsPage& ButtPage() const { return *butt_; }

    // Image to pages, after the image has been replaced: box-wide settings, then the encoder,
    // button and LED step the pages show.
    void LoadSettingsToForm();
    // Pages to image, before it is stored, sent or exported: header with the device ID, save
    // stamp, the four flag bytes, end byte. Everything else is already in the image.
    void SaveSettingsFromForm(int deviceId);

    // Reads the presets file at `path` into the two preset selectors (once, at start-up).
    void LoadPresets(const QString& path);
    EditorPresets& Presets() const { return *presets_; }

    // An incoming channel message while a learn box is ticked: the page comes up and takes the
    // status and data bytes into the entry it edits. False when neither box is ticked.
    bool Learn(std::uint8_t status, std::uint8_t first, std::uint8_t second);
    // "Virtual Motorized Encs" is ticked.
    bool MotorizedEncoders() const;
    // Bound by the main window: make the page the one shown.
    std::function<void(QWidget* page)> OnShowPage;

    // The learn boxes exclude each other; "Virtual Motorized Encs" is disabled while either is
    // ticked and keeps its own tick.
    void LearnPotClick();
    void LearnButtClick();

private:
    model::SettingsImage& image_;
    BoxSettingsPage* box_;
    PotSettingsPage* pot_;
    ButtSettingsPage* butt_;
    std::unique_ptr<EditorPresets> presets_;
};

} // namespace korv::editor
