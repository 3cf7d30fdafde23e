#include "EventEntryPage.h"

#include "ClampingSpinBox.h"
#include "EventEntries.h"
#include "PageWidgets.h"

#include <QComboBox>
#include <QLabel>
#include <QScopedValueRollback>

#include <algorithm>

namespace korv::editor {

EventEntryPage::EventEntryPage(model::SettingsImage& image, const QString& prefix, QWidget* parent)
    : QWidget(parent)
    , image_(image) {
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
    if (spin->value() != shown)
        spin->setValue(shown);
    else
        refresh(shown);
}

} // namespace korv::editor
