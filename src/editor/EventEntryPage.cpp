#include "EventEntryPage.h"

#include "ClampingSpinBox.h"
#include "EventEntries.h"
#include "PageWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScopedValueRollback>

#include <algorithm>

namespace korv::editor {

EventEntryPage::EventEntryPage(model::SettingsImage& image, const QString& prefix, QWidget* parent)
    : QWidget(parent)
    , image_(image) {
    properties_ = new QGroupBox(QStringLiteral("Properties"), this);
    properties_->setObjectName(prefix + "PropertiesGroupbox");
    hexHeading_ = CaptionLabel(this, prefix + "HexHeading", QStringLiteral("HEX"));
    hexHeading_->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);

    eventTypeLabel_ = CaptionLabel(this, prefix + "Byte0ALabel", QStringLiteral("Event Type :"));
    eventType_ = PickList(this, prefix + "Byte0A");
    AddItems(eventType_, model::EventTypeItems());
    eventType_->setCurrentIndex(-1);
    Attach(eventTypeLabel_, eventType_);

    channelLabel_ = CaptionLabel(this, prefix + "Byte0BLabel", QStringLiteral("Midi Channel :"));
    channel_ = SpinBox(this, prefix + "Byte0B", 1, 16, 1);
    Attach(channelLabel_, channel_);

    rawByteLabel_ = CaptionLabel(this, prefix + "Byte0Label", QStringLiteral("Byte 0 :"));
    rawByte_ = SpinBox(this, prefix + "Byte0", 0x90, 0xFF, 0x90);
    Attach(rawByteLabel_, rawByte_);
    rawByteHex_ = HexDisplay(this, prefix + "Byte0HEX");

    connect(rawByte_, &QSpinBox::valueChanged, this, &EventEntryPage::RawByteChange);
    connect(eventType_, &QComboBox::currentIndexChanged, this, &EventEntryPage::EventTypeChosen);
    connect(channel_, &QSpinBox::valueChanged, this, &EventEntryPage::ChannelChange);
}

void EventEntryPage::LayOut(QLayout* top, std::initializer_list<FieldRow> rows,
                            std::initializer_list<QCheckBox*> checks) {
    auto* fields = new QGridLayout;
    int row = 0;
    const auto add = [&](const FieldRow& r) {
        fields->addWidget(r.caption, row, 0);
        // Without a display the control takes the HEX column too.
        fields->addWidget(r.control, row, 1, 1, r.hex ? 1 : 2);
        if (r.hex)
            fields->addWidget(r.hex, row, 2);
        ++row;
    };
    add({eventTypeLabel_, eventType_});
    add({channelLabel_, channel_, hexHeading_});
    add({rawByteLabel_, rawByte_, rawByteHex_});
    for (const FieldRow& r : rows)
        add(r);
    fields->setColumnStretch(3, 1);

    auto* column = new QVBoxLayout;
    for (QCheckBox* check : checks)
        column->addWidget(check);
    column->addStretch(1);

    auto* group = new QHBoxLayout(properties_);
    group->addLayout(fields, 1);
    group->addSpacing(24);
    group->addLayout(column);

    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(properties_);
    page->addStretch(1);
}

void EventEntryPage::ShowPresetName() {
    if (OnShowPresetName)
        OnShowPresetName();
}

void EventEntryPage::RawByteChange(int v) {
    const auto status = static_cast<std::uint8_t>(v);
    rawByteHex_->setText(HexText(v));
    {
        QScopedValueRollback mark(settingEventType_, true);
        eventType_->setCurrentIndex(model::KindItem(status));
    }
    if (model::KindItem(status) >= 0)
        ShowKindLabels(model::KindTexts(model::KindOf(status)));
    {
        QScopedValueRollback mark(settingChannel_, true);
        channel_->setValue(model::ChannelOf(status));
    }
    if (!applyingPreset_)
        ShowPresetName();
    if (!filling_)
        StoreStatus(status);
}

void EventEntryPage::EventTypeChosen(int item) {
    if (settingEventType_ || item < 0)
        return;
    rawByte_->setValue(
        model::StatusWithKindItem(static_cast<std::uint8_t>(rawByte_->value()), item));
}

void EventEntryPage::ChannelChange(int channel) {
    if (settingChannel_)
        return;
    rawByte_->setValue(
        model::StatusWithChannel(static_cast<std::uint8_t>(rawByte_->value()), channel));
}

void EventEntryPage::ShowDataByte(QLabel* hex, int v) {
    hex->setText(HexText(v));
    if (!applyingPreset_)
        ShowPresetName();
}

void EventEntryPage::FillSpin(QSpinBox* spin, int value, const std::function<void(int)>& refresh) {
    const int shown = std::clamp(value, spin->minimum(), spin->maximum());
    const bool changes = spin->value() != shown;
    // Also when the value stays: the box then drops text typed but not yet entered, which
    // would otherwise be taken later as a value of the entry shown now.
    spin->setValue(shown);
    if (!changes)
        refresh(shown);
}

} // namespace korv::editor
