#include "BoxSettingsPage.h"

#include "ClampingSpinBox.h"
#include "EventEntries.h"
#include "PageWidgets.h"
#include "SettingsImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSignalBlocker>

namespace korv::editor {
namespace {

// Code an empty or unknown shift-register text is stored as: both nibbles set.
constexpr int NoSrOutCode = 0xFF;

QGroupBox* Group(QWidget* parent, const char* name, const char* title) {
    auto* group = new QGroupBox(QString::fromLatin1(title), parent);
    group->setObjectName(QString::fromLatin1(name));
    return group;
}

} // namespace

BoxSettingsPage::BoxSettingsPage(model::SettingsImage& image, QWidget* parent)
    : QWidget(parent)
    , image_(image) {
    setObjectName(QStringLiteral("BoxSettingsTabsheet"));

    auto* right = new QVBoxLayout;
    right->addWidget(BuildLedPatternGroup());
    right->addWidget(BuildShiftRegisterGroup());
    right->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addWidget(BuildBoxConfigGroup());
    left->addStretch(1);

    auto* page = new QHBoxLayout(this);
    page->addLayout(left);
    page->addLayout(right, 1);
}

QGroupBox* BoxSettingsPage::BuildBoxConfigGroup() {
    QGroupBox* group = Group(this, "BoxConfigGroupbox", "Box Config");
    auto* grid = new QGridLayout(group);
    int row = 0;

    auto* bankNameLabel =
        CaptionLabel(group, QStringLiteral("BankNameLabel"), QStringLiteral("Bank Name :"));
    bankNameEdit_ = AsciiField(group, QStringLiteral("BankNameEdit"), model::BankNameLength);
    bankNameEdit_->setText(QStringLiteral("Default Bank"));
    Attach(bankNameLabel, bankNameEdit_);
    grid->addWidget(bankNameLabel, row++, 0, 1, 2);
    grid->addWidget(bankNameEdit_, row++, 0, 1, 2);

    midiMergerMode_ = PickList(group, QStringLiteral("MIDIMergerMode"));
    AddItems(midiMergerMode_, model::MergerModeItems());
    midiMergerMode_->setAccessibleName(QStringLiteral("MIDI Merger"));
    grid->addWidget(midiMergerMode_, row++, 0, 1, 2);
    grid->setRowMinimumHeight(row++, 8);

    // The captions stand to the left of their boxes, the boxes in one column.
    const auto flag = [&](const char* name, const char* caption) {
        auto* box = new QCheckBox(group);
        box->setObjectName(QString::fromLatin1(name));
        auto* label = CaptionLabel(group, QString::fromLatin1(name) + QStringLiteral("Label"),
                                   QString::fromLatin1(caption));
        Attach(label, box);
        ToggleOnCaptionClick(label, box);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row++, 1);
        return box;
    };
    snapShotAtPowerOn_ = flag("SnapShotAtPowerOn", "SnapShot at PowerOn :");
    autoSnapshot_ = flag("AutoSnapshot", "Auto Snapshot :");
    midiLeds_ = flag("MIDILeds", "MIDI Leds :");
    sendPCOnBankChange_ = flag("SendPCOnBankChange", "Send PC On Bank Change :");
    receivePCForBankChange_ = flag("ReceivePCForBankChange", "Receive PC For Bank Change :");
    disableMenuNavigation_ = flag("DisableMenuNavigation", "Disable Menu Navigation :");
    grid->setRowMinimumHeight(row++, 8);

    const auto number = [&](const char* name, const char* caption, int min, int max) {
        QSpinBox* spin = SpinBox(group, QString::fromLatin1(name), min, max, min);
        auto* label = CaptionLabel(group, QString::fromLatin1(name) + QStringLiteral("Label"),
                                   QString::fromLatin1(caption));
        Attach(label, spin);
        grid->addWidget(label, row, 0);
        grid->addWidget(spin, row++, 1);
        return spin;
    };
    lcEmulationID_ = number("LCEmulationID", " LC Emulation ID :", 0, 127);
    touchsensorSensitivity_ = number("TouchsensorSensitivity", " Touchsensor Sensitivity :", 1, 32);

    connect(bankNameEdit_, &QLineEdit::textChanged, this, &BoxSettingsPage::BankNameEditChange);
    connect(midiMergerMode_, &QComboBox::currentIndexChanged, this,
            &BoxSettingsPage::MIDIMergerModeChange);
    connect(lcEmulationID_, &QSpinBox::valueChanged, this, &BoxSettingsPage::LCEmulationIDChange);
    connect(touchsensorSensitivity_, &QSpinBox::valueChanged, this,
            &BoxSettingsPage::TouchsensorSensitivityChange);
    return group;
}

QGroupBox* BoxSettingsPage::BuildLedPatternGroup() {
    QGroupBox* group = Group(this, "LEDPatternsGroupbox", "LED Ring Patterns");
    auto* numbers = new QHBoxLayout;
    const auto number = [&](const char* name, const char* caption, int max) {
        QSpinBox* spin = SpinBox(group, QString::fromLatin1(name), 1, max, 1);
        auto* label = CaptionLabel(group, QString::fromLatin1(name) + QStringLiteral("Label"),
                                   QString::fromLatin1(caption));
        Attach(label, spin);
        numbers->addWidget(label);
        numbers->addWidget(spin);
        numbers->addSpacing(16);
        connect(spin, &QSpinBox::valueChanged, this, &BoxSettingsPage::UpdateLEDPatterns);
        return spin;
    };
    ledPatternNr_ = number("LEDPattern_Nr", "Pattern #", model::LedPatternCount);
    ledPatternEntry_ = number("LEDPattern_Entry", "Entry #", model::LedStepCount);
    numbers->addStretch(1);

    auto* leds = new QHBoxLayout;
    leds->setSpacing(6);
    for (int led = 1; led <= LedCount; ++led) {
        auto* box = new QCheckBox(group);
        box->setObjectName(QStringLiteral("LEDPattern_CB%1").arg(led));
        box->setAccessibleName(QStringLiteral("LED %1").arg(led));
        box->setToolTip(box->accessibleName());
        connect(box, &QCheckBox::clicked, this,
                [this, led](bool on) { LEDPattern_CBClick(led, on); });
        ledBoxes_[led - 1] = box;
        leds->addWidget(box);
    }
    leds->addStretch(1);

    auto* layout = new QVBoxLayout(group);
    layout->addLayout(numbers);
    layout->addLayout(leds);
    return group;
}

QGroupBox* BoxSettingsPage::BuildShiftRegisterGroup() {
    QGroupBox* group = Group(this, "DOUTMapGroupbox", "DOUT Shiftregister Map");
    auto* grid = new QGridLayout(group);
    for (int j = 1; j <= SrOutCount; ++j) {
        QComboBox* box = EditableList(group, QStringLiteral("SROUT_Map_%1").arg(j));
        AddItems(box, model::SrOutMapItems());
        box->setMaxVisibleItems(24);
        auto* label = CaptionLabel(group, QStringLiteral("SROUT_Map_%1Label").arg(j),
                                   QStringLiteral("SR #%1").arg(j));
        Attach(label, box);
        grid->addWidget(label, j - 1, 0);
        grid->addWidget(box, j - 1, 1);
        connect(box, &QComboBox::currentTextChanged, this, [this, j] { SROUT_MapChange(j); });
        srOutMap_[j - 1] = box;
    }
    grid->setColumnStretch(1, 1);
    return group;
}

void BoxSettingsPage::LoadBoxSettings() {
    {
        QScopedValueRollback loading(loading_, true);
        midiMergerMode_->setCurrentIndex(image_.MergerMode());
        midiLeds_->setChecked(image_.Flag(model::BoxFlag::MidiLeds));
        sendPCOnBankChange_->setChecked(image_.Flag(model::BoxFlag::SendPCOnBankChange));
        receivePCForBankChange_->setChecked(image_.Flag(model::BoxFlag::ReceivePCForBankChange));
        disableMenuNavigation_->setChecked(image_.Flag(model::BoxFlag::DisableMenuNavigation));
        snapShotAtPowerOn_->setChecked(image_.Flag(model::BoxFlag::SnapShotAtPowerOn));
        autoSnapshot_->setChecked(image_.Flag(model::BoxFlag::AutoSnapshot));
    }

    // These three are written back as shown, also when the control already showed the value:
    // nibbles lose their top bits, a value beyond the range becomes its limit, the bank name
    // gets its spaces and end mark.
    {
        const QSignalBlocker block(lcEmulationID_);
        lcEmulationID_->setValue(image_.LcEmulationId());
    }
    LCEmulationIDChange(lcEmulationID_->value());
    {
        const QSignalBlocker block(touchsensorSensitivity_);
        touchsensorSensitivity_->setValue(image_.TouchSensitivity());
    }
    TouchsensorSensitivityChange(touchsensorSensitivity_->value());
    {
        const QSignalBlocker block(bankNameEdit_);
        bankNameEdit_->setText(QString::fromLatin1(image_.BankName()));
    }
    BankNameEditChange();

    QScopedValueRollback loading(loading_, true);
    for (int j = 1; j <= SrOutCount; ++j)
        SelectItem(srOutMap_[j - 1], image_.SrOutMap(j));
}

void BoxSettingsPage::UpdateLEDPatterns() {
    const int pattern = ledPatternNr_->value();
    const int step = ledPatternEntry_->value();
    for (int led = 1; led <= LedCount; ++led)
        ledBoxes_[led - 1]->setChecked(image_.Led(pattern, step, led));
}

BoxFlagStates BoxSettingsPage::FlagStates() const {
    BoxFlagStates s;
    s.mergerMode = midiMergerMode_->currentIndex();
    s.midiLeds = midiLeds_->isChecked();
    s.sendPCOnBankChange = sendPCOnBankChange_->isChecked();
    s.receivePCForBankChange = receivePCForBankChange_->isChecked();
    s.disableMenuNavigation = disableMenuNavigation_->isChecked();
    s.snapShotAtPowerOn = snapShotAtPowerOn_->isChecked();
    s.autoSnapshot = autoSnapshot_->isChecked();
    return s;
}

void BoxSettingsPage::BankNameEditChange() {
    image_.SetBankName(bankNameEdit_->text().toLatin1().toStdString());
}

void BoxSettingsPage::MIDIMergerModeChange(int index) {
    if (!loading_ && index >= 0)
        image_.SetMergerMode(index);
}

void BoxSettingsPage::LCEmulationIDChange(int v) {
    image_.SetLcEmulationId(v);
}

void BoxSettingsPage::TouchsensorSensitivityChange(int v) {
    image_.SetTouchSensitivity(v);
}

void BoxSettingsPage::LEDPattern_CBClick(int led, bool on) {
    image_.SetLed(ledPatternNr_->value(), ledPatternEntry_->value(), led, on);
}

// Text that names no assignment is stored as code 255 (both nibbles set); loaded again, the
// selector shows no item for it.
void BoxSettingsPage::SROUT_MapChange(int shiftRegister) {
    if (loading_)
        return;
    const int code = ShownItem(srOutMap_[shiftRegister - 1]);
    image_.SetSrOutMap(shiftRegister, code >= 0 ? code : NoSrOutCode);
}

} // namespace korv::editor
