// The settings editor: the "Box Config", "Encoders" and "Buttons" pages over the one settings
// image, and the two whole-image actions between image and pages.
#pragma once

#include "SurfaceKnobs.h"

class QWidget;

namespace korv::model {
class SettingsImage;
}

namespace korv::editor {

class BoxSettingsPage;
class ButtSettingsPage;
class PotSettingsPage;

class SettingsEditor {
public:
    // Creates the three pages as children of `pageParent` (a tab widget takes them over).
    SettingsEditor(model::SettingsImage& image, SurfaceKnobs surface, QWidget* pageParent);

    BoxSettingsPage& BoxPage() const { return *box_; }
    PotSettingsPage& PotPage() const { return *pot_; }
    ButtSettingsPage& ButtPage() const { return *butt_; }

    // Image to pages, after the image has been replaced: box-wide settings, then the encoder,
    // button and LED step the pages show.
    void LoadSettingsToForm();
    // Pages to image, before it is stored, sent or exported: header with the device ID, save
    // stamp, the four flag bytes, end byte. Everything else is already in the image.
    void SaveSettingsFromForm(int deviceId);

private:
    model::SettingsImage& image_;
    BoxSettingsPage* box_;
    PotSettingsPage* pot_;
    ButtSettingsPage* butt_;
};

} // namespace korv::editor
