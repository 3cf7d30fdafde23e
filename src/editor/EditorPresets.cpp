#include "EditorPresets.h"

#include "ButtSettingsPage.h"
#include "PotSettingsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace korv::editor {

namespace {

// Set while a preset's bytes are written: the entry's change handlers store them but leave
// the selector showing the picked name.
class Applying {
public:
    explicit Applying(std::function<void(bool)> set)
        : set_(std::move(set)) {
        set_(true);
    }
    ~Applying() { set_(false); }
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;

private:
    std::function<void(bool)> set_;
};

// Enter in a selector's text field would make the item that the typed text names the current
// one, as if picked. Typed text applies nothing, so the field does not get Enter at all.
class TypedTextStays : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_Return || key == Qt::Key_Enter;
    }
};

void KeepTypedText(QComboBox* selector) {
    selector->setCompleter(nullptr);
    selector->lineEdit()->installEventFilter(new TypedTextStays(selector->lineEdit()));
}

int ByteOf(std::uint32_t value, int shift) {
    return static_cast<int>((value >> shift) & 0xFF);
}

} // namespace

EditorPresets::EditorPresets(PotSettingsPage& pot, ButtSettingsPage& butt)
    : pot_(pot)
    , butt_(butt) {
    pot_.OnShowPresetName = [this] { ShowPotPresetName(); };
    butt_.OnShowPresetName = [this] { ShowButtPresetName(); };
    // Only a name picked from the list (or stepped to with the arrow keys) applies a preset.
    KeepTypedText(pot_.PotPresetName());
    KeepTypedText(butt_.ButtPresetName());
    QObject::connect(pot_.PotPresetName(), &QComboBox::activated, &pot_,
                     [this](int index) { PotPresetNameChange(index); });
    QObject::connect(butt_.ButtPresetName(), &QComboBox::activated, &butt_,
                     [this](int index) { ButtPresetNameChange(index); });
}

void EditorPresets::LoadPresets(const QString& path) {
    lists_ = PresetLists::Load(path);
    FillSelector(butt_.ButtPresetName(), lists_.butts.names);
    FillSelector(pot_.PotPresetName(), lists_.pots.names);
    ShowButtPresetName();
    ShowPotPresetName();
}

void EditorPresets::FillSelector(QComboBox* selector, const QStringList& names) {
    selector->clear();
    selector->addItems(names);
    // No position is picked until the user picks one.
    selector->setCurrentIndex(-1);
}

void EditorPresets::ShowName(QComboBox* selector, const PresetList& list,
                             std::initializer_list<const QLabel*> hexDisplays) {
    QString key;
    for (const QLabel* hex : hexDisplays)
        key += hex->text();
    selector->setEditText(list.NameOf(key));
}

void EditorPresets::ShowPotPresetName() {
    ShowName(pot_.PotPresetName(), lists_.pots,
             {pot_.PotByte0HEX(), pot_.PotByte1HEX(), pot_.PotMinHEX(), pot_.PotMaxHEX()});
}

void EditorPresets::ShowButtPresetName() {
    ShowName(butt_.ButtPresetName(), lists_.butts,
             {butt_.ButtByte0HEX(), butt_.ButtByte1HEX(), butt_.ButtByte2HEX()});
}

QString EditorPresets::PickedKey(const QComboBox* selector, int index, const PresetList& list) {
    if (index < 0 || index >= list.keys.size())
        return {};
    if (selector->currentText() != selector->itemText(index))
        return {};
    return list.keys[index];
}

void EditorPresets::PotPresetNameChange(int index) {
    const QString key = PickedKey(pot_.PotPresetName(), index, lists_.pots);
    if (!key.isEmpty())
        ApplyPotPreset(key);
}

void EditorPresets::ButtPresetNameChange(int index) {
    const QString key = PickedKey(butt_.ButtPresetName(), index, lists_.butts);
    if (!key.isEmpty())
        ApplyButtPreset(key);
}

void EditorPresets::ApplyPotPreset(const QString& key) {
    if (pot_.PresetCopiesNameCheckBox()->isChecked()) {
        const QComboBox* selector = pot_.PotPresetName();
        pot_.PotLabel()->setText(LabelOfPresetName(selector->itemText(selector->currentIndex())));
    }
    const std::optional<std::uint32_t> value = ReadPresetKey(key);
    if (!value)
        return;
    const Applying applying([this](bool on) { pot_.SetApplyingPotPreset(on); });
    pot_.PotByte0()->setValue(ByteOf(*value, 24));
    pot_.PotByte1()->setValue(ByteOf(*value, 16));
    pot_.PotMin()->setValue(ByteOf(*value, 8));
    pot_.PotMax()->setValue(ByteOf(*value, 0));
}

void EditorPresets::ApplyButtPreset(const QString& key) {
    const std::optional<std::uint32_t> value = ReadPresetKey(key);
    if (!value)
        return;
    const Applying applying([this](bool on) { butt_.SetApplyingButtPreset(on); });
    butt_.ButtByte0()->setValue(ByteOf(*value, 16));
    butt_.ButtByte1()->setValue(ByteOf(*value, 8));
    butt_.ButtByte2()->setValue(ByteOf(*value, 0));
}

} // namespace korv::editor
