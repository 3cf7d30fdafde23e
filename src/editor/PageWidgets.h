// Small builders shared by the editor pages: named caption labels that give the control in
// front of them its accessible name, spin boxes, drop-downs, the "%02X" displays.
#pragma once

#include <QString>

#include <array>
#include <string_view>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace korv::editor {

class ClampingSpinBox;

// A label with the exact caption text, named `name`.
QLabel* CaptionLabel(QWidget* parent, const QString& name, const QString& text);
// Makes `caption` the label in front of `control`: its buddy, and the source of its accessible
// name (the caption without its outer spaces).
void Attach(QLabel* caption, QWidget* control);
// Changes a caption and the accessible name of the control it belongs to.
void SetCaption(QLabel* caption, const QString& text);
// Clicking the caption of a check box toggles the box, as clicking a check box's own text does.
void ToggleOnCaptionClick(QLabel* caption, QAbstractButton* box);

ClampingSpinBox* SpinBox(QWidget* parent, const QString& name, int min, int max, int value);
QComboBox* PickList(QWidget* parent, const QString& name);
// An editable drop-down: typed text that is no item is never added to the list.
QComboBox* EditableList(QWidget* parent, const QString& name);
QLineEdit* AsciiField(QWidget* parent, const QString& name, int maxLength);
// The display beside a byte's spin box.
QLabel* HexDisplay(QWidget* parent, const QString& name);

template <std::size_t N>
void AddItems(QComboBox* box, const std::array<std::string_view, N>& items);
void AddItem(QComboBox* box, std::string_view text);

// Two upper-case hexadecimal digits, as "%02X" prints them.
QString HexText(int value);
// Shows item `index`, or no item when the index is outside the list.
void SelectItem(QComboBox* box, int index);
// The item the drop-down shows: the selected one while its text is shown, otherwise the first
// item whose text equals the shown text (letter case ignored), or -1.
int ShownItem(const QComboBox* box);

template <std::size_t N>
void AddItems(QComboBox* box, const std::array<std::string_view, N>& items) {
    for (std::string_view item : items)
        AddItem(box, item);
}

} // namespace korv::editor
