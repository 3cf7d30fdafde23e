// The "Buttons" page: the event entry and mode of the button in ButtNumber, written into the
// settings image control by control.
#pragma once

#include "EventEntryPage.h"

namespace korv::editor {

class ButtSettingsPage : public EventEntryPage {
    Q_OBJECT
public:
    explicit ButtSettingsPage(model::SettingsImage& image, QWidget* parent = nullptr);

    // Fills the page from the image for the button in ButtNumber, storing nothing.
    void UpdateButtProps();
    // Stores the shown mode; a selector that shows no item stores nothing. Also run by the main
    // window whenever its shown page changes.
    void ButtModeChange();

    bool FillingButtProps() const { return filling_; }
    bool ApplyingButtPreset() const { return applyingPreset_; }
    void SetApplyingButtPreset(bool on) { applyingPreset_ = on; }
    void ShowButtPresetName() { ShowPresetName(); }

    QSpinBox* ButtonNumberInBank() const { return buttonNumberInBank_; }
    QComboBox* ButtPresetName() const { return buttPresetName_; }
    QSpinBox* ButtNumber() const { return buttNumber_; }
    QComboBox* ButtByte0A() const { return eventType_; }
    QSpinBox* ButtByte0B() const { return channel_; }
    QLabel* ButtByte0BLabel() const { return channelLabel_; }
    QSpinBox* ButtByte0() const { return rawByte_; }
    QLabel* ButtByte0HEX() const { return rawByteHex_; }
    QSpinBox* ButtByte1() const { return buttByte1_; }
    QLabel* ButtByte1HEX() const { return buttByte1Hex_; }
    QLabel* ButtByte1Label() const { return buttByte1Label_; }
    QSpinBox* ButtByte2() const { return buttByte2_; }
    QLabel* ButtByte2HEX() const { return buttByte2Hex_; }
    QLabel* ButtByte2Label() const { return buttByte2Label_; }
    QComboBox* ButtMode() const { return buttMode_; }
    QCheckBox* LearnButt() const { return learnButt_; }

protected:
    void StoreStatus(std::uint8_t status) override;
    void ShowKindLabels(const model::EventKindTexts& texts) override;

private:
    void LayOutPage();
    int Button() const;

    void ButtNumberChange();
    void ButtonNumberInBankChange(int value);
    void ButtByte1Change(int v);
    void ButtByte2Change(int v);

    QLabel* buttonNumberInBankLabel_ = nullptr;
    QSpinBox* buttonNumberInBank_ = nullptr;
    QLabel* buttPresetNameLabel_ = nullptr;
    QComboBox* buttPresetName_ = nullptr;
    QLabel* buttNumberLabel_ = nullptr;
    QSpinBox* buttNumber_ = nullptr;
    QLabel* buttByte1Label_ = nullptr;
    QSpinBox* buttByte1_ = nullptr;
    QLabel* buttByte1Hex_ = nullptr;
    QLabel* buttByte2Label_ = nullptr;
    QSpinBox* buttByte2_ = nullptr;
    QLabel* buttByte2Hex_ = nullptr;
    QLabel* buttModeLabel_ = nullptr;
    QComboBox* buttMode_ = nullptr;
    QCheckBox* learnButt_ = nullptr;
};

} // namespace korv::editor
