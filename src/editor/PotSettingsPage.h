// The "Encoders" page: event entry, mode entry and label of the encoder in PotNumber, written
// into the settings image control by control; range changes re-range the surface's knob.
#pragma once

#include "EventEntryPage.h"
#include "SurfaceKnobs.h"

class QLineEdit;

namespace korv::editor {

class PotSettingsPage : public EventEntryPage {
    Q_OBJECT
public:
    PotSettingsPage(model::SettingsImage& image, SurfaceKnobs surface, QWidget* parent = nullptr);

    // Fills the page from the image for the encoder in PotNumber, storing nothing.
    void UpdatePotProps();

    bool FillingPotProps() const { return filling_; }
    bool ApplyingPotPreset() const { return applyingPreset_; }
    // Set by the presets while they write a preset's bytes: the name lookup is skipped.
    void SetApplyingPotPreset(bool on) { applyingPreset_ = on; }
    void ShowPotPresetName() { ShowPresetName(); }

    QSpinBox* PotNumberInBank() const { return potNumberInBank_; }
    QSpinBox* PotBank() const { return potBank_; }
    QComboBox* PotPresetName() const { return potPresetName_; }
    QSpinBox* PotNumber() const { return potNumber_; }
    QComboBox* PotByte0A() const { return eventType_; }
    QSpinBox* PotByte0B() const { return channel_; }
    QLabel* PotByte0BLabel() const { return channelLabel_; }
    QSpinBox* PotByte0() const { return rawByte_; }
    QLabel* PotByte0HEX() const { return rawByteHex_; }
    QSpinBox* PotByte1() const { return potByte1_; }
    QLabel* PotByte1HEX() const { return potByte1Hex_; }
    QLabel* PotByte1Label() const { return potByte1Label_; }
    QSpinBox* PotMin() const { return potMin_; }
    QLabel* PotMinHEX() const { return potMinHex_; }
    QSpinBox* PotMax() const { return potMax_; }
    QLabel* PotMaxHEX() const { return potMaxHex_; }
    QLineEdit* PotLabel() const { return potLabel_; }
    QComboBox* PotLabelMode() const { return potLabelMode_; }
    QComboBox* EncMode() const { return encMode_; }
    QComboBox* EncSpeed() const { return encSpeed_; }
    QComboBox* LedMode() const { return ledMode_; }
    QCheckBox* LearnPot() const { return learnPot_; }
    QCheckBox* vMotPots() const { return vMotPots_; }
    QCheckBox* PresetCopiesNameCheckBox() const { return presetCopiesName_; }

protected:
    void StoreStatus(std::uint8_t status) override;
    void ShowKindLabels(const model::EventKindTexts& texts) override;

private:
    void LayOutPage();
    int Encoder() const;

    void PotNumberChange();
    void PotBankChange();
    void PotNumberInBankChange();
    void PotByte1Change(int v);
    void PotMinChange(int v);
    void PotMaxChange(int v);
    void PotLabelChange(const QString& text);
    void PotLabelModeChange(int index);
    void EncModeChange(int index);
    void EncSpeedChange();
    void LedModeChange(int index);

    SurfaceKnobs surface_;

    QLabel* potNumberInBankLabel_ = nullptr;
    QSpinBox* potNumberInBank_ = nullptr;
    QLabel* potBankLabel_ = nullptr;
    QSpinBox* potBank_ = nullptr;
    QLabel* potPresetNameLabel_ = nullptr;
    QComboBox* potPresetName_ = nullptr;
    QLabel* potNumberLabel_ = nullptr;
    QSpinBox* potNumber_ = nullptr;
    QLabel* potByte1Label_ = nullptr;
    QSpinBox* potByte1_ = nullptr;
    QLabel* potByte1Hex_ = nullptr;
    QLabel* potMinLabel_ = nullptr;
    QSpinBox* potMin_ = nullptr;
    QLabel* potMinHex_ = nullptr;
    QLabel* potMaxLabel_ = nullptr;
    QSpinBox* potMax_ = nullptr;
    QLabel* potMaxHex_ = nullptr;
    QLabel* potLabelLabel_ = nullptr;
    QLineEdit* potLabel_ = nullptr;
    QLabel* potLabelModeLabel_ = nullptr;
    QComboBox* potLabelMode_ = nullptr;
    QLabel* encModeLabel_ = nullptr;
    QComboBox* encMode_ = nullptr;
    QLabel* encSpeedLabel_ = nullptr;
    QComboBox* encSpeed_ = nullptr;
    QLabel* ledModeLabel_ = nullptr;
    QComboBox* ledMode_ = nullptr;
    QCheckBox* learnPot_ = nullptr;
    QCheckBox* vMotPots_ = nullptr;
    QCheckBox* presetCopiesName_ = nullptr;
};

} // namespace korv::editor
