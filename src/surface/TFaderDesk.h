// The control-surface window: one bank of 16 knobs, 36 event buttons, two bank buttons and the
// emulated LCD. Turns knob moves and button clicks into MIDI and shows them on the LCD.
#pragma once

#include "LcdScreens.h"
#include "SurfaceLayout.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

class QAbstractButton;
class QFrame;
class QLabel;

namespace korv::model {
class SettingsImage;
}
namespace korv::midi {
class TMidiOut;
}
namespace korv::controls {
class TKnob;
class TLCDLabel;
} // namespace korv::controls

namespace korv::surface {

class TFaderDesk : public QWidget {
    Q_OBJECT

public:
    static constexpr const char* Caption = "Virtual Korvane : Vantu's FaderDesk";
    static constexpr int BankUpTag = 1001;
    static constexpr int BankDownTag = 1002;

    // Starts hidden, with only its design-time children; image and output must outlive it.
    TFaderDesk(model::SettingsImage& image, midi::TMidiOut& midiOut, QWidget* parent = nullptr);
    ~TFaderDesk() override;

    // Knobs with their value labels, then buttons, then the LCD, ending on the initializing
    // screen. Call TearDownSurface first; BuildSurface does not remove an earlier build.
    void BuildSurface();
    // Destroys every direct child with a tag of 0 or more; the design-time controls stay.
    void TearDownSurface();
    // Loads hint, position and range of the 16 knobs for CurrentBank. Every write raises the
    // knob's change, so each knob stores, sends and shows its value three times.
    void RefreshKnobs();
    // What "Show Virtual Box" does: hide, rebuild, refresh, show, initialized screen.
    void ShowVirtualBox();

    using KnobSlots = std::array<QPointer<controls::TKnob>, layout::KnobCount>;
    // The knobs of the current build by knob index; empty slots before a build and after a
    // teardown.
    const KnobSlots& KnobTable() const { return knobTable_; }
    int CurrentBank() const { return currentBank_; }
    int LastControlId() const { return lastControlId_; }
    int DisplayMode() const { return displayMode_; }
    const LcdScreen& LcdLines() const { return lcdLines_; }

    // Stores line n (cut at NUL, fitted to 16 characters) and shows it on the visible LCD.
    void SetLcdLine(int n, std::string_view text);
    void ShowEventScreen(int id);
    void ShowStartupScreen(bool initialized);

    void KnobChange(controls::TKnob& knob);
    // An incoming channel message moves, like a motorized encoder, every knob of CurrentBank
    // whose encoder's status and first byte it carries, in knob order, while the window is
    // visible. Each move is a turn: the value is stored, sent and shown.
    void MoveMatchingKnobs(std::uint8_t status, std::uint8_t first, std::uint8_t second);
    // The surface's one way out to MIDI.
    void SendShort(std::uint8_t status, std::uint8_t first, std::uint8_t second);
    void ButtPush(QAbstractButton& button);
    void SpecialButtPush(QAbstractButton& button);
    void BankUp();
    void BankDown();
    void BackLightLCDPanelClick();
    void LCDPanelClick();
    // Right button only: hands the encoder id / button id to the hooks below.
    void KnobEdit(controls::TKnob& knob, Qt::MouseButton button);
    void ButtEdit(QAbstractButton& button, Qt::MouseButton mouseButton);

    // Bound by the main window: show itself and open the editor page on that encoder/button.
    std::function<void(int encoderId)> OnEditEncoder;
    std::function<void(int buttonId)> OnEditButton;

    QLabel* Label1() const { return label1_; }
    controls::TLCDLabel* BackLightLCDPanel() const { return backLightLcdPanel_; }
    QFrame* LCDPanel() const { return lcdPanel_; }
    QLabel* LCDLine(int n) const { return lcdLine_.at(n); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildKnobs();
    void BuildButtons();
    void PrepareLcd();
    // Stores all four lines and updates the visible LCD once, so a screen costs one repaint.
    void WriteLcd(const LcdScreen& screen);
    void ShowLcdLines();
    // The four lines as the dot-matrix LCD's 64-character caption.
    void ShowLinesOnDotMatrix();
    int EncoderOfKnob(int knobIndex) const;

    model::SettingsImage& image_;
    midi::TMidiOut& midiOut_;

    QLabel* label1_ = nullptr;
    controls::TLCDLabel* backLightLcdPanel_ = nullptr;
    QFrame* lcdPanel_ = nullptr;
    std::array<QLabel*, LcdLineCount> lcdLine_{};

    KnobSlots knobTable_;
    int currentBank_ = 1;
    int lastControlId_ = 0;
    int displayMode_ = 1;
    LcdScreen lcdLines_;
};

} // namespace korv::surface
