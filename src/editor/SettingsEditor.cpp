#include "SettingsEditor.h"

#include "BoxSettingsPage.h"
#include "ButtSettingsPage.h"
#include "EditorPresets.h"
#include "PotSettingsPage.h"
#include "SettingsImage.h"

#include <QCheckBox>
#include <QSpinBox>

namespace korv::editor {

SettingsEditor::SettingsEditor(model::SettingsImage& image, SurfaceKnobs surface,
                               QWidget* pageParent)
    : image_(image)
    , box_(new BoxSettingsPage(image, pageParent))
    , pot_(new PotSettingsPage(image, std::move(surface), pageParent))
    , butt_(new ButtSettingsPage(image, pageParent))
    , presets_(std::make_unique<EditorPresets>(*pot_, *butt_)) {
    QObject::connect(pot_->LearnPot(), &QCheckBox::clicked, pot_, [this] { LearnPotClick(); });
    QObject::connect(butt_->LearnButt(), &QCheckBox::clicked, butt_, [this] { LearnButtClick(); });
}

SettingsEditor::~SettingsEditor() {
    // The pages outlive the editor (their parent owns them): they must not call back into it.
    pot_->OnShowPresetName = nullptr;
    butt_->OnShowPresetName = nullptr;
    QObject::disconnect(pot_->LearnPot(), nullptr, pot_, nullptr);
    QObject::disconnect(butt_->LearnButt(), nullptr, butt_, nullptr);
}

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

void SettingsEditor::LoadPresets(const QString& path) {
    presets_->LoadPresets(path);
}

bool SettingsEditor::Learn(std::uint8_t status, std::uint8_t first, std::uint8_t second) {
    if (pot_->LearnPot()->isChecked()) {
        if (OnShowPage)
            OnShowPage(pot_);
        pot_->PotByte0()->setValue(status);
        pot_->PotByte1()->setValue(first);
        return true;
    }
    if (butt_->LearnButt()->isChecked()) {
        if (OnShowPage)
            OnShowPage(butt_);
        butt_->ButtByte0()->setValue(status);
        butt_->ButtByte1()->setValue(first);
        butt_->ButtByte2()->setValue(second);
        return true;
    }
    return false;
}

bool SettingsEditor::MotorizedEncoders() const {
    return pot_->vMotPots()->isChecked();
}

void SettingsEditor::LearnPotClick() {
    if (pot_->LearnPot()->isChecked()) {
        butt_->LearnButt()->setChecked(false);
        pot_->vMotPots()->setEnabled(false);
    } else if (!butt_->LearnButt()->isChecked()) {
        pot_->vMotPots()->setEnabled(true);
    }
}

void SettingsEditor::LearnButtClick() {
    if (butt_->LearnButt()->isChecked()) {
        pot_->LearnPot()->setChecked(false);
        pot_->vMotPots()->setEnabled(false);
    } else if (!pot_->LearnPot()->isChecked()) {
        pot_->vMotPots()->setEnabled(true);
    }
}

} // namespace korv::editor
