#include "SettingsEditor.h"

#include "BoxSettingsPage.h"
#include "ButtSettingsPage.h"
#include "PotSettingsPage.h"
#include "SettingsImage.h"

namespace korv::editor {

SettingsEditor::SettingsEditor(model::SettingsImage& image, SurfaceKnobs surface,
                               QWidget* pageParent)
    : image_(image)
    , box_(new BoxSettingsPage(image, pageParent))
    , pot_(new PotSettingsPage(image, std::move(surface), pageParent))
    , butt_(new ButtSettingsPage(image, pageParent)) {}

void SettingsEditor::LoadSettingsToForm() {
    box_->LoadBoxSettings();
    pot_->UpdatePotProps();
    butt_->UpdateButtProps();
    box_->UpdateLEDPatterns();
}

void SettingsEditor::SaveSettingsFromForm(int deviceId) {
    const std::uint8_t header[model::HeaderSize] = {
        0xF0, 0x00, 0x00, 0x7E, 0x45, static_cast<std::uint8_t>(deviceId * 16 + 2)};
    image_.Write(header, sizeof header);
    image_.StampSave();
    const BoxFlagBytes flags = FlagBytes(box_->FlagStates());
    image_.SetDataByte(model::offsets::MergerByte, flags.merger);
    image_.SetDataByte(model::offsets::LedFlagsByte, flags.ledFlags);
    image_.SetDataByte(model::offsets::BankFlagsByte, flags.bankFlags);
    image_.SetDataByte(model::offsets::SnapshotByte, flags.snapshot);
    image_.SetImageByte(model::DumpSize - 1, 0xF7);
}

} // namespace korv::editor
