// The "Box Config" page: bank name, merger mode, the box-wide flags, LC emulation ID, touch
// sensor sensitivity, the LED ring pattern editor and the DOUT shift-register map.
#pragma once

#include "BoxFlags.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace korv::model {
class SettingsImage;
}

namespace korv::editor {

class BoxSettingsPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int SrOutCount = 8;
    static constexpr int LedCount = 16;

    explicit BoxSettingsPage(model::SettingsImage& image, QWidget* parent = nullptr);

    // The box-wide part of loading the image into the editor: merger mode and flag boxes (no
    // store), LC emulation ID, sensitivity and bank name (stored back as shown), the
    // shift-register map (no store).
    void LoadBoxSettings();
    // Sets the 16 LED boxes from the step in LEDPattern_Nr / LEDPattern_Entry; stores nothing.
    void UpdateLEDPatterns();
    // The states the save step turns into the four flag bytes.
    BoxFlagStates FlagStates() const;

    QLineEdit* BankNameEdit() const { return bankNameEdit_; }
    QComboBox* MIDIMergerMode() const { return midiMergerMode_; }
    QCheckBox* SnapShotAtPowerOn() const { return snapShotAtPowerOn_; }
    QCheckBox* AutoSnapshot() const { return autoSnapshot_; }
    QCheckBox* MIDILeds() const { return midiLeds_; }
    QCheckBox* SendPCOnBankChange() const { return sendPCOnBankChange_; }
    QCheckBox* ReceivePCForBankChange() const { return receivePCForBankChange_; }
    QCheckBox* DisableMenuNavigation() const { return disableMenuNavigation_; }
    QSpinBox* LCEmulationID() const { return lcEmulationID_; }
    QSpinBox* TouchsensorSensitivity() const { return touchsensorSensitivity_; }
    QSpinBox* LEDPattern_Nr() const { return ledPatternNr_; }
    QSpinBox* LEDPattern_Entry() const { return ledPatternEntry_; }
    // LED 1..16.
    QCheckBox* LEDPattern_CB(int led) const { return ledBoxes_.at(led - 1); }
    // Shift register 1..8.
    QComboBox* SROUT_Map(int shiftRegister) const { return srOutMap_.at(shiftRegister - 1); }

private:
    QGroupBox* BuildBoxConfigGroup();
    QGroupBox* BuildLedPatternGroup();
    QGroupBox* BuildShiftRegisterGroup();

    void BankNameEditChange();
    void MIDIMergerModeChange(int index);
    void LCEmulationIDChange(int v);
    void TouchsensorSensitivityChange(int v);
    void LEDPattern_CBClick(int led, bool on);
    void SROUT_MapChange(int shiftRegister);

    model::SettingsImage& image_;
    // Set while LoadBoxSettings moves the controls whose handlers must store nothing then.
    bool loading_ = false;

    QLineEdit* bankNameEdit_ = nullptr;
    QComboBox* midiMergerMode_ = nullptr;
    QCheckBox* snapShotAtPowerOn_ = nullptr;
    QCheckBox* autoSnapshot_ = nullptr;
    QCheckBox* midiLeds_ = nullptr;
    QCheckBox* sendPCOnBankChange_ = nullptr;
    QCheckBox* receivePCForBankChange_ = nullptr;
    QCheckBox* disableMenuNavigation_ = nullptr;
    QSpinBox* lcEmulationID_ = nullptr;
    QSpinBox* touchsensorSensitivity_ = nullptr;
    QSpinBox* ledPatternNr_ = nullptr;
    QSpinBox* ledPatternEntry_ = nullptr;
    std::array<QCheckBox*, LedCount> ledBoxes_{};
    std::array<QComboBox*, SrOutCount> srOutMap_{};
};

} // namespace korv::editor
