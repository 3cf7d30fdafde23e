#include "PageWidgets.h"

#include "ClampingSpinBox.h"
#include "PrintableAsciiValidator.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

namespace korv::editor {
namespace {

class CaptionClick : public QObject {
public:
    CaptionClick(QLabel* caption, QAbstractButton* box)
        : QObject(caption)
        , caption_(caption)
        , box_(box) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonRelease)
            return false;
        // Like a button: a press that is let go away from the caption does nothing.
        const auto* release = static_cast<QMouseEvent*>(event);
        if (release->button() == Qt::LeftButton &&
            caption_->rect().contains(release->position().toPoint()) && box_->isEnabled())
            box_->click();
        return false;
    }

private:
    QLabel* caption_;
    QAbstractButton* box_;
};

} // namespace

QLabel* CaptionLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

void Attach(QLabel* caption, QWidget* control) {
    caption->setBuddy(control);
    control->setAccessibleName(caption->text().trimmed());
}

void SetCaption(QLabel* caption, const QString& text) {
    caption->setText(text);
    if (QWidget* control = caption->buddy())
        control->setAccessibleName(text.trimmed());
}

void ToggleOnCaptionClick(QLabel* caption, QAbstractButton* box) {
    caption->installEventFilter(new CaptionClick(caption, box));
}

ClampingSpinBox* SpinBox(QWidget* parent, const QString& name, int min, int max, int value) {
    auto* spin = new ClampingSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(min, max);
    spin->setValue(value);
    spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    // A typed number counts once it is committed: typing "100" must not select or store 1
    // and 10 on the way, nor re-range a knob three times.
    spin->setKeyboardTracking(false);
    return spin;
}

QComboBox* PickList(QWidget* parent, const QString& name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    return box;
}

QComboBox* EditableList(QWidget* parent, const QString& name) {
    auto* box = PickList(parent, name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

QLineEdit* AsciiField(QWidget* parent, const QString& name, int maxLength) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setMaxLength(maxLength);
    field->setValidator(new PrintableAsciiValidator(field));
    return field;
}

QLabel* HexDisplay(QWidget* parent, const QString& name) {
    auto* hex = new QLabel(parent);
    hex->setObjectName(name);
    hex->setFrameShape(QFrame::StyledPanel);
    hex->setFrameShadow(QFrame::Sunken);
    hex->setAlignment(Qt::AlignCenter);
    hex->setFixedWidth(hex->fontMetrics().horizontalAdvance(QStringLiteral("WWW")) + 12);
    hex->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return hex;
}

void AddItem(QComboBox* box, std::string_view text) {
    box->addItem(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

QString HexText(int value) {
    return QString::asprintf("%02X", value);
}

void SelectItem(QComboBox* box, int index) {
    const int shown = index >= 0 && index < box->count() ? index : -1;
    box->setCurrentIndex(shown);
    // An editable drop-down keeps typed text across a change of index to the same item.
    if (box->isEditable())
        box->setEditText(shown >= 0 ? box->itemText(shown) : QString());
}

int ShownItem(const QComboBox* box) {
    const QString text = box->currentText();
    const int selected = box->currentIndex();
    if (selected >= 0 && box->itemText(selected) == text)
        return selected;
    return box->findText(text, Qt::MatchFixedString);
}

} // namespace korv::editor
