#include "PotSettingsPage.h"

#include "ClampingSpinBox.h"
#include "EventEntries.h"
#include "PageWidgets.h"
#include "SettingsImage.h"
#include "TKnob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>

#include <algorithm>

namespace korv::editor {

PotSettingsPage::PotSettingsPage(model::SettingsImage& image, SurfaceKnobs surface, QWidget* parent)
    : EventEntryPage(image, QStringLiteral("Pot"), parent)
    , surface_(std::move(surface)) {
    setObjectName(QStringLiteral("PotSettings"));

    const auto labelled = [this](auto* control, const char* name, const char* caption) {
        auto* label = CaptionLabel(this, QString::fromLatin1(name), QString::fromLatin1(caption));
        Attach(label, control);
        return label;
    };

    potNumberInBank_ = SpinBox(this, QStringLiteral("PotNumberInBank"), 1, 16, 1);
    potNumberInBankLabel_ = labelled(potNumberInBank_, "PotNumberInBankLabel", "Enc Nr :");
    potBank_ = SpinBox(this, QStringLiteral("PotBank"), 1, 8, 1);
    potBankLabel_ = labelled(potBank_, "PotBankLabel", "Bank :");
    potPresetName_ = EditableList(this, QStringLiteral("PotPresetName"));
    potPresetNameLabel_ = labelled(potPresetName_, "PotPresetNameLabel", "Preset :");
    potNumber_ = SpinBox(this, QStringLiteral("PotNumber"), 0, 127, 0);
    potNumberLabel_ = labelled(potNumber_, "PotNumberLabel", "Enc ID :");

    potByte1_ = SpinBox(properties_, QStringLiteral("PotByte1"), 0, 127, 0);
    potByte1Label_ = labelled(potByte1_, "PotByte1Label", "Byte 1 :");
    potByte1Hex_ = HexDisplay(properties_, QStringLiteral("PotByte1HEX"));
    potMin_ = SpinBox(properties_, QStringLiteral("PotMin"), 0, 127, 0);
    potMinLabel_ = labelled(potMin_, "PotMinLabel", "Min :");
    potMinHex_ = HexDisplay(properties_, QStringLiteral("PotMinHEX"));
    potMax_ = SpinBox(properties_, QStringLiteral("PotMax"), 0, 127, 0);
    potMaxLabel_ = labelled(potMax_, "PotMaxLabel", "Max :");
    potMaxHex_ = HexDisplay(properties_, QStringLiteral("PotMaxHEX"));

    potLabel_ = AsciiField(properties_, QStringLiteral("PotLabel"), model::LabelTextLength);
    potLabelLabel_ = labelled(potLabel_, "PotLabelLabel", "Label :");
    potLabelMode_ = PickList(properties_, QStringLiteral("PotLabelMode"));
    AddItems(potLabelMode_, model::LabelModeItems());
    potLabelModeLabel_ = labelled(potLabelMode_, "PotLabelModeLabel", "Label Mode :");
    encMode_ = PickList(properties_, QStringLiteral("EncMode"));
    AddItems(encMode_, model::EncModeItems());
    encModeLabel_ = labelled(encMode_, "EncModeLabel", "Enc Mode :");
    encSpeed_ = EditableList(properties_, QStringLiteral("EncSpeed"));
    AddItems(encSpeed_, model::EncSpeedItems());
    encSpeedLabel_ = labelled(encSpeed_, "EncSpeedLabel", "Enc Speed :");
    ledMode_ = PickList(properties_, QStringLiteral("LedMode"));
    AddItems(ledMode_, model::LedPatternItems());
    ledModeLabel_ = labelled(ledMode_, "LedModeLabel", "Led Ring :");

    const auto checkBox = [this](const char* name, const char* caption, bool on) {
        auto* box = new QCheckBox(QString::fromLatin1(caption), properties_);
        box->setObjectName(QString::fromLatin1(name));
        box->setAccessibleName(box->text());
        box->setChecked(on);
        return box;
    };
    learnPot_ = checkBox("LearnPot", "Learn Enc", false);
    vMotPots_ = checkBox("vMotPots", "Virtual Motorized Encs", false);
    presetCopiesName_ = checkBox("PresetCopiesNameCheckBox", "Get Label From Preset", true);

    LayOutPage();

    connect(potNumber_, &QSpinBox::valueChanged, this, &PotSettingsPage::PotNumberChange);
    connect(potBank_, &QSpinBox::valueChanged, this, &PotSettingsPage::PotBankChange);
    connect(potNumberInBank_, &QSpinBox::valueChanged, this,
            &PotSettingsPage::PotNumberInBankChange);
    connect(potByte1_, &QSpinBox::valueChanged, this, &PotSettingsPage::PotByte1Change);
    connect(potMin_, &QSpinBox::valueChanged, this, &PotSettingsPage::PotMinChange);
    connect(potMax_, &QSpinBox::valueChanged, this, &PotSettingsPage::PotMaxChange);
    connect(potLabel_, &QLineEdit::textChanged, this, &PotSettingsPage::PotLabelChange);
    connect(potLabelMode_, &QComboBox::currentIndexChanged, this,
            &PotSettingsPage::PotLabelModeChange);
    connect(encMode_, &QComboBox::currentIndexChanged, this, &PotSettingsPage::EncModeChange);
    connect(encSpeed_, &QComboBox::currentTextChanged, this, &PotSettingsPage::EncSpeedChange);
    connect(ledMode_, &QComboBox::currentIndexChanged, this, &PotSettingsPage::LedModeChange);
}

void PotSettingsPage::LayOutPage() {
    // "Enc Nr :" and "Bank :", "Enc ID :" at the right, "Preset :" under "Bank :".
    auto* top = new QGridLayout;
    top->addWidget(potNumberInBankLabel_, 0, 0);
    top->addWidget(potNumberInBank_, 0, 1);
    top->addWidget(potBankLabel_, 0, 2);
    top->addWidget(potBank_, 0, 3);
    top->addWidget(potNumberLabel_, 0, 5);
    top->addWidget(potNumber_, 0, 6);
    top->addWidget(potPresetNameLabel_, 1, 2);
    top->addWidget(potPresetName_, 1, 3, 1, 4);
    top->setColumnStretch(4, 1);

    LayOut(top,
           {{potByte1Label_, potByte1_, potByte1Hex_},
            {potMinLabel_, potMin_, potMinHex_},
            {potMaxLabel_, potMax_, potMaxHex_},
            {potLabelLabel_, potLabel_},
            {potLabelModeLabel_, potLabelMode_},
            {encModeLabel_, encMode_},
            {encSpeedLabel_, encSpeed_},
            {ledModeLabel_, ledMode_}},
           {learnPot_, vMotPots_, presetCopiesName_});
}

int PotSettingsPage::Encoder() const {
    return potNumber_->value();
}

void PotSettingsPage::UpdatePotProps() {
    QScopedValueRollback filling(filling_, true);
    const int n = Encoder();
    potBank_->setValue(model::BankOfEncoder(n));
    potNumberInBank_->setValue(model::NumberInBank(n));
    potLabel_->setText(QString::fromLatin1(image_.LabelText(n)));
    FillSpin(rawByte_, image_.PotStatus(n), [this](int v) { RawByteChange(v); });
    FillSpin(potByte1_, image_.PotByte1(n), [this](int v) { ShowDataByte(potByte1Hex_, v); });
    FillSpin(potMin_, image_.PotMin(n), [this](int v) { ShowDataByte(potMinHex_, v); });
    FillSpin(potMax_, image_.PotMax(n), [this](int v) { ShowDataByte(potMaxHex_, v); });
    SelectItem(ledMode_, image_.LedMode(n));
    SelectItem(encMode_, image_.EncMode(n));
    SelectItem(encSpeed_, image_.EncSpeed(n));
    SelectItem(potLabelMode_, image_.LabelMode(n));
}

void PotSettingsPage::StoreStatus(std::uint8_t status) {
    image_.SetPotStatus(Encoder(), status);
}

void PotSettingsPage::ShowKindLabels(const model::EventKindTexts& texts) {
    SetCaption(channelLabel_, QString::fromLatin1(texts.potChannelLabel));
    SetCaption(potByte1Label_, QString::fromLatin1(texts.potByte1Label));
}

void PotSettingsPage::PotNumberChange() {
    UpdatePotProps();
}

void PotSettingsPage::PotBankChange() {
    if (!filling_)
        potNumber_->setValue(model::EncoderId(potBank_->value(), potNumberInBank_->value()));
}

void PotSettingsPage::PotNumberInBankChange() {
    PotBankChange();
}

void PotSettingsPage::PotByte1Change(int v) {
    ShowDataByte(potByte1Hex_, v);
    if (!filling_)
        image_.SetPotByte1(Encoder(), static_cast<std::uint8_t>(v));
}

// A range change, by the user or by a fill, re-ranges the knob that plays this encoder's slot
// in whichever bank the surface shows; the knob then reports its clamped position as a turn.
// A damaged dump's bound above 127 reaches the knob as 127, as when the surface loads its
// knobs: a knob never shows a value that cannot be stored or sent.
void PotSettingsPage::PotMinChange(int v) {
    ShowDataByte(potMinHex_, v);
    const int n = Encoder();
    if (!filling_)
        image_.SetPotMin(n, static_cast<std::uint8_t>(v));
    if (controls::TKnob* knob = surface_.VisibleKnob(n % model::EncodersPerBank))
        knob->SetMin(std::min<int>(image_.PotMin(n), 127));
}

void PotSettingsPage::PotMaxChange(int v) {
    ShowDataByte(potMaxHex_, v);
    const int n = Encoder();
    if (!filling_)
        image_.SetPotMax(n, static_cast<std::uint8_t>(v));
    if (controls::TKnob* knob = surface_.VisibleKnob(n % model::EncodersPerBank))
        knob->SetMax(std::min<int>(image_.PotMax(n), 127));
}

void PotSettingsPage::PotLabelChange(const QString& text) {
    if (filling_)
        return;
    const int n = Encoder();
    image_.SetLabelText(n, text.toLatin1().toStdString());
    if (controls::TKnob* knob = surface_.VisibleKnob(n % model::EncodersPerBank)) {
        // An empty tool tip is never shown: the hint shows exactly when there is a label.
        knob->setToolTip(text);
        knob->setAccessibleDescription(text);
    }
}

void PotSettingsPage::PotLabelModeChange(int index) {
    if (!filling_ && index >= 0)
        image_.SetLabelMode(Encoder(), index);
}

void PotSettingsPage::EncModeChange(int index) {
    if (!filling_ && index >= 0)
        image_.SetEncMode(Encoder(), index);
}

// Typed text that names no speed writes nothing; a speed outside 0..2 never reaches the box.
void PotSettingsPage::EncSpeedChange() {
    const int index = ShownItem(encSpeed_);
    if (!filling_ && index >= 0)
        image_.SetEncSpeed(Encoder(), index);
}

void PotSettingsPage::LedModeChange(int index) {
    if (!filling_ && index >= 0)
        image_.SetLedMode(Encoder(), index);
}

} // namespace korv::editor
