// What the encoder and button pages share: the status byte shown three ways (raw byte with its
// display, event-type selector, channel field) kept in step without echo, the data-byte rule,
// and the two flags that tell a fill from the image and an applied preset from an edit.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>
#include <initializer_list>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QSpinBox;

namespace korv::model {
class SettingsImage;
struct EventKindTexts;
} // namespace korv::model

namespace korv::editor {

class EventEntryPage : public QWidget {
    Q_OBJECT
public:
    // Refreshes the preset name from the page's bytes; unset, it does nothing.
    std::function<void()> OnShowPresetName;

protected:
    // `prefix` is "Pot" or "Butt": the status controls are named <prefix>Byte0, <prefix>Byte0HEX,
    // <prefix>Byte0A, <prefix>Byte0B and <prefix>Byte0BLabel, the group
    // <prefix>PropertiesGroupbox.
    EventEntryPage(model::SettingsImage& image, const QString& prefix, QWidget* parent);

    // A row of the "Properties" group: caption, control, and the control's display if any.
    struct FieldRow {
        QLabel* caption;
        QWidget* control;
        QLabel* hex = nullptr;
    };
    // Lays the page out: `top` above the "Properties" group, which holds the event type,
    // channel and raw byte, then `rows`, with a HEX column and `checks` in a column at its right.
    void LayOut(QLayout* top, std::initializer_list<FieldRow> rows,
                std::initializer_list<QCheckBox*> checks);

    // Where the page stores the status byte of the entry it shows (only outside a fill).
    virtual void StoreStatus(std::uint8_t status) = 0;
    // The labels of event kind 0x9..0xF.
    virtual void ShowKindLabels(const model::EventKindTexts& texts) = 0;

    void ShowPresetName();

    // The raw byte changed to v: display, selector and channel without echo, labels of the
    // kind, preset name, and the store unless the page is being filled.
    void RawByteChange(int v);
    void EventTypeChosen(int item);
    void ChannelChange(int channel);
    // The shared part of every data byte's change: its display and the preset name.
    void ShowDataByte(QLabel* hex, int v);

    // Sets a spin box from the image. A changed value runs the box's change handler like any
    // change; an unchanged one runs `refresh`, so no display is left stale.
    static void FillSpin(QSpinBox* spin, int value, const std::function<void(int)>& refresh);

    model::SettingsImage& image_;
    QGroupBox* properties_ = nullptr;
    QLabel* hexHeading_ = nullptr;
    QSpinBox* rawByte_ = nullptr;
    QLabel* rawByteHex_ = nullptr;
    QComboBox* eventType_ = nullptr;
    QSpinBox* channel_ = nullptr;
    QLabel* channelLabel_ = nullptr;
    QLabel* rawByteLabel_ = nullptr;
    QLabel* eventTypeLabel_ = nullptr;

    bool filling_ = false;
    bool applyingPreset_ = false;

private:
    // Set while the program moves the selector or the channel field, so that their handlers
    // leave the raw byte alone.
    bool settingEventType_ = false;
    bool settingChannel_ = false;
};

} // namespace korv::editor
