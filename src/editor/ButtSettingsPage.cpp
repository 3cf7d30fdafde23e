#include "ButtSettingsPage.h"

#include "ClampingSpinBox.h"
#include "EventEntries.h"
#include "PageWidgets.h"
#include "SettingsImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScopedValueRollback>

namespace korv::editor {

ButtSettingsPage::ButtSettingsPage(model::SettingsImage& image, QWidget* parent)
    : EventEntryPage(image, QStringLiteral("Butt"), parent) {
    setObjectName(QStringLiteral("ButtSettings"));

    const auto labelled = [this](auto* control, const char* name, const char* caption) {
        auto* label = CaptionLabel(this, QString::fromLatin1(name), QString::fromLatin1(caption));
        Attach(label, control);
        return label;
    };

    buttonNumberInBank_ = SpinBox(this, QStringLiteral("ButtonNumberInBank"), 1, 64, 1);
    buttonNumberInBankLabel_ =
        labelled(buttonNumberInBank_, "ButtonNumberInBankLabel", "Button Nr :");
    buttPresetName_ = EditableList(this, QStringLiteral("ButtPresetName"));
    buttPresetNameLabel_ = labelled(buttPresetName_, "ButtPresetNameLabel", "Preset :");
    buttNumber_ = SpinBox(this, QStringLiteral("ButtNumber"), 0, model::ButtonCount - 1, 0);
    buttNumberLabel_ = labelled(buttNumber_, "ButtNumberLabel", "Button ID :");

    buttByte1_ = SpinBox(properties_, QStringLiteral("ButtByte1"), 0, 127, 0);
    buttByte1Label_ = labelled(buttByte1_, "ButtByte1Label", "Byte 1 :");
    buttByte1Hex_ = HexDisplay(properties_, QStringLiteral("ButtByte1HEX"));
    buttByte2_ = SpinBox(properties_, QStringLiteral("ButtByte2"), 0, 127, 0);
    buttByte2Label_ = labelled(buttByte2_, "ButtByte2Label", "Byte 2 :");
    buttByte2Hex_ = HexDisplay(properties_, QStringLiteral("ButtByte2HEX"));
    buttMode_ = PickList(properties_, QStringLiteral("ButtMode"));
    AddItems(buttMode_, model::ButtModeItems());
    buttModeLabel_ = labelled(buttMode_, "ButtModeLabel", "Mode :");

    learnButt_ = new QCheckBox(QStringLiteral("Learn Button"), properties_);
    learnButt_->setObjectName(QStringLiteral("LearnButt"));
    learnButt_->setAccessibleName(learnButt_->text());

    LayOutPage();

    connect(buttNumber_, &QSpinBox::valueChanged, this, &ButtSettingsPage::ButtNumberChange);
    connect(buttonNumberInBank_, &QSpinBox::valueChanged, this,
            &ButtSettingsPage::ButtonNumberInBankChange);
    connect(buttByte1_, &QSpinBox::valueChanged, this, &ButtSettingsPage::ButtByte1Change);
    connect(buttByte2_, &QSpinBox::valueChanged, this, &ButtSettingsPage::ButtByte2Change);
    connect(buttMode_, &QComboBox::currentIndexChanged, this, &ButtSettingsPage::ButtModeChange);
}

void ButtSettingsPage::LayOutPage() {
    // "Button Nr :", "Button ID :" at the right, "Preset :" under "Button Nr :".
    auto* top = new QGridLayout;
    top->addWidget(buttonNumberInBankLabel_, 0, 0);
    top->addWidget(buttonNumberInBank_, 0, 1);
    top->addWidget(buttNumberLabel_, 0, 3);
    top->addWidget(buttNumber_, 0, 4);
    top->addWidget(buttPresetNameLabel_, 1, 0);
    top->addWidget(buttPresetName_, 1, 1, 1, 4);
    top->setColumnStretch(2, 1);

    LayOut(top,
           {{buttByte1Label_, buttByte1_, buttByte1Hex_},
            {buttByte2Label_, buttByte2_, buttByte2Hex_},
            {buttModeLabel_, buttMode_}},
           {learnButt_});
}

int ButtSettingsPage::Button() const {
    return buttNumber_->value();
}

void ButtSettingsPage::UpdateButtProps() {
    QScopedValueRollback filling(filling_, true);
    const int m = Button();
    buttonNumberInBank_->setValue(m + 1);
    FillSpin(rawByte_, image_.ButtStatus(m), [this](int v) { RawByteChange(v); });
    FillSpin(buttByte1_, image_.ButtByte1(m), [this](int v) { ShowDataByte(buttByte1Hex_, v); });
    FillSpin(buttByte2_, image_.ButtByte2(m), [this](int v) { ShowDataByte(buttByte2Hex_, v); });
    // A mode outside 0..2 shows no item and stays in the image until the user picks one.
    SelectItem(buttMode_, image_.ButtMode(m));
    ShowPresetName();
}

void ButtSettingsPage::ButtModeChange() {
    const int index = buttMode_->currentIndex();
    if (!filling_ && index >= 0)
        image_.SetButtMode(Button(), static_cast<std::uint8_t>(index));
}

void ButtSettingsPage::StoreStatus(std::uint8_t status) {
    image_.SetButtStatus(Button(), status);
}

void ButtSettingsPage::ShowKindLabels(const model::EventKindTexts& texts) {
    SetCaption(channelLabel_, QString::fromLatin1(texts.buttChannelLabel));
    SetCaption(buttByte1Label_, QString::fromLatin1(texts.buttByte1Label));
    SetCaption(buttByte2Label_, QString::fromLatin1(texts.buttByte2Label));
}

void ButtSettingsPage::ButtNumberChange() {
    UpdateButtProps();
}

void ButtSettingsPage::ButtonNumberInBankChange(int value) {
    if (!filling_)
        buttNumber_->setValue(value - 1);
}

void ButtSettingsPage::ButtByte1Change(int v) {
    ShowDataByte(buttByte1Hex_, v);
    if (!filling_)
        image_.SetButtByte1(Button(), static_cast<std::uint8_t>(v));
}

void ButtSettingsPage::ButtByte2Change(int v) {
    ShowDataByte(buttByte2Hex_, v);
    if (!filling_)
        image_.SetButtByte2(Button(), static_cast<std::uint8_t>(v));
}

} // namespace korv::editor
